// The sound that reaches a sink: data/demo.wav is played through the sounding device to the null
// sink of a private sound server while the sink's monitor is recorded, and the recording must
// hold the file's last 10 ms sample for sample; also at the first play after the server was killed
// during playback, a play ran on the clock and the server was started again; up to a cut made in
// the file while it plays; and the same for 8-bit, 24-bit extensible and float files on null sinks
// of their own formats. Exits with 77 (skipped) where no server starts.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "playback/PlaybackFactory.h"
#include "playback/PrivateSoundServer.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

constexpr int kRate = 44100;  // data/demo.wav: 16-bit stereo at 44100 Hz
constexpr int kChannels = 2;
constexpr int kFrameBytes = 4;
constexpr int kTailFrames = kRate / 100;  // 10 ms

test::PrivateSoundServer* server = nullptr;

// Runs the event loop for ms.
void Spin(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
}

// Asks Mode every 80 ms, as the window's refresh tick does, until playback is no longer playing
// or timeoutMs has passed; then closes the device as the tick does. False on the time-out.
bool WaitUntilStopped(PlaybackDevice& device, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (device.Mode() == PlaybackMode::kPlaying) {
    if (timer.elapsed() > timeoutMs) return false;
    Spin(80);
  }
  device.Close();
  return true;
}

QByteArray SourceSamples(const std::string& path) {
  auto file = FileSource::Open(path);
  if (!file) return {};
  const WaveHeader header = ProbeWave(*file, path).header;
  QFile raw(QString::fromStdString(path));
  if (!raw.open(QIODevice::ReadOnly) || !raw.seek(header.DataOffset)) return {};
  return raw.read(header.DataEnd - header.DataOffset);
}

// Frame index where needle starts in haystack, or -1.
int64_t FindFrames(const QByteArray& haystack, const QByteArray& needle, int frameBytes = kFrameBytes) {
  for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1)) {
    if (at % frameBytes == 0) return at / frameBytes;
  }
  return -1;
}

// True when everything in the recording after the first copy of tail (at a frame boundary) is
// silence: what the output plays after the last sample and the sink's own once playback ended.
bool SilenceAfter(const QByteArray& recording, const QByteArray& tail, int frameBytes, char silence) {
  const int64_t at = FindFrames(recording, tail, frameBytes);
  if (at < 0) return false;
  const QByteArray after = recording.mid(at * frameBytes + tail.size());
  return std::all_of(after.begin(), after.end(), [silence](char c) { return c == silence; });
}

// How much of the source's end the recording lost, for the failure message: the recording is
// lined up on a 10 ms block 500 ms before the end (in the decaying chord, where no block
// repeats) and compared frame by frame from there.
std::string LostEnd(const QByteArray& source, const QByteArray& recording) {
  const int64_t frames = source.size() / kFrameBytes;
  const int64_t anchor = frames - kRate / 2;
  const int64_t at = FindFrames(recording, source.mid(anchor * kFrameBytes, kTailFrames * kFrameBytes));
  if (at < 0) return "the recording does not hold the last 500 ms at all";
  int64_t same = 0;
  while (anchor + same < frames && (at + same + 1) * kFrameBytes <= recording.size() &&
         source.mid((anchor + same) * kFrameBytes, kFrameBytes) ==
             recording.mid((at + same) * kFrameBytes, kFrameBytes)) {
    ++same;
  }
  return "the last " + std::to_string((frames - anchor - same) * 1000 / kRate) + " ms were not heard";
}

class NullSinkPlaybackTest : public ::testing::Test {
 protected:
  NullSinkPlaybackTest() : path_(SONAVELD_DEMO_WAV) {}

  void SetUp() override {
    source_ = SourceSamples(path_);
    ASSERT_GT(source_.size(), kRate * kFrameBytes) << path_;
    choice_ = ChooseSystemPlaybackDevice([this](const std::string& text) { notices_.push_back(text); });
    ASSERT_TRUE(choice_.notice.empty()) << "no sound output on the private server";
    choice_.device->SetFileName(path_);
  }

  // Plays from startMs to the end while the monitor is recorded; the recording's bytes.
  QByteArray RecordPlaybackToTheEnd(int32_t startMs) {
    PlaybackDevice& device = *choice_.device;
    const QString file = QString::fromStdString(dir_.File("monitor.raw"));
    if (!server->StartRecording(file, kRate, kChannels)) {
      ADD_FAILURE() << "the monitor cannot be recorded";
      return {};
    }
    Spin(100);
    EXPECT_TRUE(device.Open().ok());
    if (startMs > 0) device.SetPosition(startMs);
    device.Play();
    EXPECT_EQ(device.Mode(), PlaybackMode::kPlaying);
    EXPECT_TRUE(WaitUntilStopped(device, 15'000)) << "playback never ended";
    Spin(300);  // the recorder gets the last of the monitor's sound
    return server->StopRecording();
  }

  void ExpectEndHeard(const QByteArray& recording) {
    const QByteArray tail = source_.right(kTailFrames * kFrameBytes);
    EXPECT_GE(FindFrames(recording, tail), 0)
        << LostEnd(source_, recording) << " (" << recording.size() / kFrameBytes << " frames recorded)";
    EXPECT_TRUE(SilenceAfter(recording, tail, kFrameBytes, 0)) << "not silence after the last sample";
  }

  std::string path_;
  test::TempDir dir_;
  QByteArray source_;
  std::vector<std::string> notices_;
  PlaybackChoice choice_;
};

TEST_F(NullSinkPlaybackTest, PlaybackToTheEndIsHeardToTheLastSample) {
  ExpectEndHeard(RecordPlaybackToTheEnd(0));
  EXPECT_TRUE(notices_.empty());
}

// The window's road through a server that is down for a while: the sound stops where it stopped,
// the next play (Space) runs on the clock and is stopped, the server starts again: the first play
// after that connects anew and is heard to its end, and the notice is taken back.
TEST_F(NullSinkPlaybackTest, LostServerIsToldAndTheFirstPlayAfterItIsBackSounds) {
  PlaybackDevice& device = *choice_.device;
  auto& sounding = dynamic_cast<QtAudioDevice&>(device);
  ASSERT_TRUE(device.Open().ok());
  device.Play();
  QElapsedTimer timer;
  timer.start();
  while (device.Position() < 500 && timer.elapsed() < 5000) Spin(20);
  server->Kill();
  for (timer.restart(); device.Mode() == PlaybackMode::kPlaying && timer.elapsed() < 5000;) Spin(80);
  ASSERT_EQ(device.Mode(), PlaybackMode::kStopped) << "playback goes on without a server";
  ASSERT_EQ(notices_, std::vector<std::string>{FormatMessage(MessageId::kAudioOutputLost)});
  const int32_t stoppedAt = device.Position();  // where the sound stopped, at neither end
  EXPECT_GE(stoppedAt, 500);
  EXPECT_LT(stoppedAt, device.Length());
  device.Close();

  ASSERT_TRUE(device.Open().ok());
  device.Play();  // no server: on the clock, told
  EXPECT_TRUE(sounding.Soundless());
  EXPECT_EQ(notices_.back(), FormatMessage(MessageId::kNoAudioOutput));
  Spin(4000);  // longer than a sound library may wait before it tries to reconnect once
  ASSERT_TRUE(device.Open().ok());
  device.Stop();
  device.Close();

  ASSERT_TRUE(server->Start()) << qPrintable(server->Failure());
  ExpectEndHeard(RecordPlaybackToTheEnd(3000));
  EXPECT_FALSE(sounding.Soundless()) << "the first play after the server came back is silent";
  EXPECT_EQ(notices_.back(), "");  // the notice is taken back once sound plays
}

// A file cut short inside a frame while it plays (the cut far ahead of what was read): the sound
// holds the samples up to the last whole frame before the cut, then silence, and playback ends.
TEST_F(NullSinkPlaybackTest, FileCutShortDuringPlaybackIsHeardToItsLastWholeFrame) {
  PlaybackDevice& device = *choice_.device;
  const std::string copy = dir_.File("copy.wav");
  std::filesystem::copy_file(path_, copy);
  device.SetFileName(copy);
  const int64_t dataOffset = ProbeWave(*FileSource::Open(copy), copy).header.DataOffset;
  const int64_t keptFrames = 2 * kRate + 123;
  ASSERT_TRUE(server->StartRecording(QString::fromStdString(dir_.File("monitor.raw")), kRate, kChannels));
  Spin(100);
  ASSERT_TRUE(device.Open().ok());
  device.Play();
  QElapsedTimer timer;
  for (timer.start(); device.Position() < 300 && timer.elapsed() < 5000;) Spin(20);
  std::filesystem::resize_file(copy, dataOffset + keptFrames * kFrameBytes + 2);
  EXPECT_TRUE(WaitUntilStopped(device, 15'000)) << "playback never ended";
  Spin(300);
  const QByteArray heard = server->StopRecording();
  const QByteArray tail = source_.mid((keptFrames - kTailFrames) * kFrameBytes, kTailFrames * kFrameBytes);
  EXPECT_GE(FindFrames(heard, tail), 0) << "the last whole frames before the cut were not heard";
  EXPECT_TRUE(SilenceAfter(heard, tail, kFrameBytes, 0)) << "not silence after the cut";
}

// A generated second of noise in a kind other than 16-bit, played through a null sink of the
// format the sink gets: 32-bit integer for the 24-bit file (whose samples arrive shifted up by 8
// bits), float for the float file, unsigned 8-bit (silence 0x80) for the 8-bit file.
struct WideFile {
  const char* name;
  int bits;
  uint16_t tag;
  bool extensible;
  int channels;
  int rate;
  const char* sink;
  const char* format;  // of the sink and of the recording
};

const WideFile kWideFiles[] = {{"Unsigned8", 8, 1, false, 1, 22050, "sonaveld_test_u8", "u8"},
                               {"Extensible24", 24, 1, true, 2, 48000, "sonaveld_test_s32", "s32le"},
                               {"Float32", 32, 3, false, 1, 44100, "sonaveld_test_float", "float32le"}};

QAudioDevice OutputNamed(const char* id) {
  for (const QAudioDevice& device : QMediaDevices::audioOutputs()) {
    if (device.id() == id) return device;
  }
  return {};
}

// The file's samples as the sink must get them.
QByteArray SinkSamples(const QByteArray& file, int bits) {
  if (bits != 24) return file;
  QByteArray widened;
  for (qsizetype i = 0; i + 3 <= file.size(); i += 3) widened += '\0' + file.mid(i, 3);
  return widened;
}

class WidePlaybackTest : public ::testing::TestWithParam<WideFile> {};

TEST_P(WidePlaybackTest, PlaysToTheEndAndItsLastSamplesAreHeardExactly) {
  const WideFile& w = GetParam();
  test::TempDir dir;
  test::WavRecipe recipe;
  recipe.bits = w.bits, recipe.formatTag = w.tag, recipe.extensible = w.extensible, recipe.fact = w.tag == 3;
  recipe.channels = w.channels, recipe.rate = w.rate, recipe.frames = w.rate;
  std::mt19937 noise(15);
  recipe.sample = [&](int64_t, int) { return static_cast<int>(noise() % 16777216) - 8388608; };
  recipe.floatSample = [&](int64_t, int) { return static_cast<float>(static_cast<int>(noise() % 1800001) - 900000) / 1e6f; };
  const std::string path = dir.File("wide.wav");
  test::WriteFileBytes(path, test::BuildWav(recipe));
  const QByteArray expected = SinkSamples(SourceSamples(path), w.bits);
  const int frameBytes = (w.bits == 8 ? 1 : 4) * w.channels;
  ASSERT_EQ(expected.size(), int64_t{w.rate} * frameBytes);

  std::vector<std::string> notices;
  PlaybackChoice choice = ChoosePlaybackDevice(OutputNamed(w.sink), [&](const std::string& text) { notices.push_back(text); });
  ASSERT_TRUE(choice.notice.empty()) << "no output " << w.sink;
  PlaybackDevice& device = *choice.device;
  device.SetFileName(path);
  const QString recording = QString::fromStdString(dir.File("monitor.raw"));
  ASSERT_TRUE(server->StartRecording(recording, w.rate, w.channels, w.format, w.sink));
  Spin(100);
  ASSERT_TRUE(device.Open().ok());
  device.Play();
  EXPECT_TRUE(WaitUntilStopped(device, 10'000)) << "playback never ended";
  Spin(300);
  const QByteArray heard = server->StopRecording();
  const QByteArray tail = expected.right(w.rate / 100 * frameBytes);
  EXPECT_GE(FindFrames(heard, tail, frameBytes), 0)
      << "the last 10 ms were not heard as they are (" << heard.size() / frameBytes << " frames recorded)";
  const char silence = w.bits == 8 ? '\x80' : '\0';
  EXPECT_TRUE(SilenceAfter(heard, tail, frameBytes, silence)) << "not silence after the last sample";
  EXPECT_TRUE(notices.empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, WidePlaybackTest, ::testing::ValuesIn(kWideFiles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The server's environment is set before anything in this process talks to a sound server.
  sonaveld::test::PrivateSoundServer server(QStringLiteral("rate=44100 channels=2 format=s16le"));
  for (const sonaveld::WideFile& w : sonaveld::kWideFiles) {
    server.AddSink(QString::fromLatin1(w.sink),
                   QStringLiteral("rate=%1 channels=%2 format=%3").arg(w.rate).arg(w.channels).arg(QLatin1String(w.format)));
  }
  QCoreApplication app(argc, argv);
  if (!server.Start()) {
    std::printf("SKIPPED: no private sound server can start here (%s)\n", qPrintable(server.Failure()));
    return 77;
  }
  sonaveld::server = &server;
  return RUN_ALL_TESTS();
}
