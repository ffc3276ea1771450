#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "analysis/PauseFinder.h"

class QWidget;

namespace sonaveld {

// The files of marks with names that the window reads and writes besides its mark list file.
enum class MarkFileKind {
  kLabels,    // a label file, "start<TAB>end<TAB>name" lines
  kCueSheet,  // a cue sheet
};

// Everything the main window asks of the user through modal boxes and file dialogs. The Qt
// implementation shows the real boxes; window tests put scripted answers in its place so that
// nothing blocks. Each file dialog starts in folder (an absolute path; empty: the working
// directory).
class Prompts {
 public:
  virtual ~Prompts() = default;

  // A plain message box with an OK button; text is the system's message.
  virtual void Message(const QString& text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool Confirm(const QString& text) = 0;
  // OpenDialog1 (filter "Waveファイル|*.wav;*wave"): the full path chosen, empty when cancelled.
  virtual QString OpenDialog1(const QString& folder) = 0;
  // SaveDialog1 (filter "wavファイル|*.wav", default extension "wav"): the path, empty when cancelled.
  virtual QString SaveDialog1(const QString& folder) = 0;
  // SaveDialog2 (filter "wavファイル", no pattern, no default extension): the base name F for
  // numbered outputs, empty when cancelled.
  virtual QString SaveDialog2(const QString& folder) = 0;
  // OpenDialog1 of the normalizer window (filter "Waveファイル|*.wav;*.wave; ", several files at
  // once): the full paths in the order the dialog lists them, empty when cancelled.
  virtual QStringList Form2OpenDialog1(const QString& folder) = 0;
  // The save dialog of the normalizer's "レポート保存" (filter "CSVファイル|*.csv", default extension
  // "csv"): the path, empty when cancelled.
  virtual QString ReportSaveDialog(const QString& folder) = 0;
  // The settings dialog of "無音部分にマーク…", starting with initial: the settings chosen with OK,
  // nothing when cancelled.
  virtual std::optional<PauseSettings> PauseSettingsPrompt(const PauseSettings& initial) = 0;
  // The open dialog of a label file ("ラベルファイル (*.txt)") or a cue sheet ("CUEシート (*.cue)"),
  // other files offered too: the full path chosen, empty when cancelled.
  virtual QString OpenMarkFileDialog(MarkFileKind kind, const QString& folder) = 0;
  // The save dialog of the same (default extension "txt" / "cue"; an existing file is asked about):
  // the path, empty when cancelled.
  virtual QString SaveMarkFileDialog(MarkFileKind kind, const QString& folder) = 0;
};

}  // namespace sonaveld
