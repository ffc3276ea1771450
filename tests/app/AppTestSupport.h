#pragma once
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Prompts.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "playback/ClockDevice.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {

// Prompts with scripted answers: messages are recorded, dialogs answer from queues (empty queue:
// cancelled / No) and record the folder they were started in.
class ScriptedPrompts final : public Prompts {
 public:
  void Message(const QString& text) override { messages << text; }
  bool Confirm(const QString& text) override;
  QString OpenDialog1(const QString& folder) override;
  QString SaveDialog1(const QString& folder) override;
  QString SaveDialog2(const QString& folder) override;
  QString ReportSaveDialog(const QString&) override { return Next(saveAnswers); }
  QStringList Form2OpenDialog1(const QString& folder) override;
  std::optional<PauseSettings> PauseSettingsPrompt(const PauseSettings& initial) override;
  // The mark file dialogs answer from openAnswers and saveAnswers too.
  QString OpenMarkFileDialog(MarkFileKind kind, const QString& folder) override;
  QString SaveMarkFileDialog(MarkFileKind kind, const QString& folder) override;

  QStringList messages;
  QStringList questions;
  std::deque<QString> openAnswers;
  std::deque<QString> saveAnswers;
  std::deque<bool> confirmAnswers;
  std::deque<QStringList> openManyAnswers;  // the normalizer's OpenDialog1 (empty list: cancelled)
  std::deque<std::optional<PauseSettings>> pauseAnswers;  // empty queue or nullopt: cancelled
  std::vector<PauseSettings> pauseInitials;  // the values each pause dialog started with
  int openDialogsShown = 0;
  QStringList dialogFolders;  // per dialog shown: its name, a blank, the folder it started in

 private:
  static QString Next(std::deque<QString>& answers);
};

// The clock-only device on a hand-moved clock, with a hook run at every Close (the redraw closes
// the device first, so the hook runs inside a redraw) and a check that no Close runs inside it.
class TestDevice final : public PlaybackDevice {
 public:
  TestDevice() : inner_([this] { return now; }) {}
  Status Open() override {
    if (!refuse.empty() && FileName() == refuse) return Status::Fail(MessageId::kCannotOpen, refuse);
    inner_.SetFileName(FileName());
    return inner_.Open();
  }
  void Close() override;
  void Play() override { inner_.Play(); }
  void Stop() override { inner_.Stop(); }
  void Pause() override { inner_.Pause(); }
  void SetPosition(int32_t ms) override { inner_.SetPosition(ms); }
  int32_t Position() override { return inner_.Position(); }
  int32_t Length() override { return inner_.Length(); }
  PlaybackMode Mode() override { return inner_.Mode(); }

  int64_t now = 0;                // the clock, ms
  std::string refuse;             // a file name the device cannot open
  std::function<void()> onClose;  // run once per Close while set
  int closes = 0;
  bool nestedClose = false;       // a Close ran inside onClose's run

 private:
  ClockDevice inner_;
  bool inClose_ = false;
};

// One main window with scripted prompts and the test device, and a folder for WAV files.
struct Harness {
  Harness();
  ~Harness();
  // Writes a WAV built from recipe into the folder; returns its path.
  QString Wav(const std::string& name, const WavRecipe& recipe);
  // Opens path through "開く" with the dialog answering path.
  void Open(const QString& path);

  TempDir dir;
  ScriptedPrompts prompts;
  TestDevice device;
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<TForm1> form;
};

// Types text into the zoom box as the user does: a click into its text, Ctrl+A, Backspace, the
// keys. The window must be active. The edit is not ended.
void TypeIntoZoomBox(TForm1& f, const QString& text);

// The rasters of the window.
const QImage& Lane1(TForm1& f);
const QImage& Lane2(TForm1& f);
const QImage& Overlay(TForm1& f);
const QImage& Ruler(TForm1& f);
const QImage& Strip(TForm1& f);

// Pixel colour as 0xRRGGBB (alpha dropped).
uint32_t Rgb(const QImage& image, int x, int y);
// The rows y of column x whose pixel is pure blue, as "first..last" ("" when none, "a..b;c..d" for
// several runs).
QString BlueRuns(const QImage& image, int x);
// True when every pixel of the image is white (or transparent white).
bool AllWhite(const QImage& image);

}  // namespace sonaveld::test
