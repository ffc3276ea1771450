// Program start: the main window Form1, the normalizer window Form2 (hidden), the message loop
// until the main window closes. A WAV path given as the first argument is opened at start.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>

#include "app/AppStartup.h"
#include "app/QtPrompts.h"
#include "app/StartOptions.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "playback/PlaybackFactory.h"

int main(int argc, char* argv[]) {
  if (const auto answered = sonaveld::AnswerStartOptions(argc, argv)) return *answered;  // no display needed
  QApplication app(argc, argv);
  sonaveld::PrepareApplication(app);  // name, window face, Qt's Japanese texts

  // Sound on the system's output; without one the clock-only device. Panel 0 of the status bar
  // keeps the notice of a missing, failed or lost sound output until sound plays again.
  sonaveld::TForm1* window = nullptr;
  auto laterNotice = [&window](const std::string& text) {
    if (window != nullptr) window->SetSoundNotice(QString::fromStdString(text));
  };
  sonaveld::PlaybackChoice playback = sonaveld::ChooseSystemPlaybackDevice(laterNotice);
  sonaveld::PlaybackDevice& mediaPlayer1 = *playback.device;
  sonaveld::QtPrompts prompts;
  sonaveld::TForm1 form1(prompts, mediaPlayer1);
  window = &form1;
  prompts.SetParent(&form1);
  sonaveld::QtPrompts form2Prompts;  // the normalizer's boxes, modal over its own window
  sonaveld::TForm2 form2(form2Prompts);
  form2Prompts.SetParent(&form2);
  form1.SetForm2(&form2);
  QObject::connect(&form1, &sonaveld::TForm1::Closed, &app, &QApplication::quit);
  // A normalization pass still running ends at its next block, so the program can end.
  QObject::connect(&form1, &sonaveld::TForm1::Closed, &form2, &sonaveld::TForm2::SpeedButton7Click);
  form1.show();
  form1.SetSoundNotice(QString::fromStdString(playback.notice));

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const QString path = args.at(1);
    QTimer::singleShot(0, &form1, [&form1, path] { form1.OpenWaveFile(path); });
  }
  return QApplication::exec();
}
