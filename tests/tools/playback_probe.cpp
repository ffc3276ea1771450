// Plays a WAV file on the system's default sound output with the program's playback device and
// prints the play position every 200 ms next to the time passed, until playback ends or the
// given number of seconds has passed. With a start position, playback begins there (Open,
// SetPosition, Play, as the window does); with a pause time, the device is paused for 600 ms
// once that much wall time has passed, to show the position holding.
// Usage: playback_probe [file.wav] [seconds] [start ms] [pause at ms]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "playback/PlaybackFactory.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const std::string path = args.size() > 1 ? args.at(1).toStdString() : std::string("data/demo.wav");
  const int seconds = args.size() > 2 ? args.at(2).toInt() : 5;
  const int startMs = args.size() > 3 ? args.at(3).toInt() : 0;
  const int pauseAtMs = args.size() > 4 ? args.at(4).toInt() : -1;

  sonaveld::PlaybackChoice choice = sonaveld::ChooseSystemPlaybackDevice(
      [](const std::string& text) { std::printf("notice: %s\n", text.c_str()); });
  std::printf("output: %s\n", choice.notice.empty() ? "sound (QtAudioDevice)" : choice.notice.c_str());
  sonaveld::PlaybackDevice& device = *choice.device;
  device.SetFileName(path);
  const sonaveld::Status opened = device.Open();
  if (opened.failed()) {
    std::printf("open failed: %s\n", opened.message().c_str());
    return 1;
  }
  std::printf("file: %s  length: %d ms\n", path.c_str(), device.Length());
  if (startMs > 0) device.SetPosition(startMs);
  device.Play();
  QElapsedTimer clock;
  clock.start();

  if (pauseAtMs >= 0) {
    QTimer::singleShot(pauseAtMs, [&] {
      device.Pause();
      std::printf("pause at position=%d ms  mode=%d\n", device.Position(), static_cast<int>(device.Mode()));
    });
    QTimer::singleShot(pauseAtMs + 600, [&] {
      device.Pause();
      std::printf("resume at position=%d ms  mode=%d\n", device.Position(), static_cast<int>(device.Mode()));
    });
  }
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const auto mode = device.Mode();
    std::printf("t=%5lld ms  position=%5d ms  mode=%d\n", static_cast<long long>(clock.elapsed()),
                device.Position(), static_cast<int>(mode));
    std::fflush(stdout);
    if (mode == sonaveld::PlaybackMode::kStopped || clock.elapsed() > seconds * 1000) {
      device.Close();
      QCoreApplication::quit();
    }
  });
  tick.start(200);
  return QCoreApplication::exec();
}
