#pragma once
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "app/Form2Controls.h"
#include "normalizer/LoudnessGain.h"
#include "normalizer/NormalizeReport.h"
#include "normalizer/NormalizePass.h"
#include "normalizer/NormalizerHost.h"

namespace sonaveld {

class Prompts;
struct LoudnessFileOutcome;

// The normalizer window Form2 (caption "ノーマライズ"): the list of WAV files, the settings of a
// pass, the buttons that fill and trim the list, start and stop, and the two progress bars. It is
// created hidden at start and shown by the main window's "ノーマライズ" item; closing hides it with
// everything kept. The pass runs inside SpeedButton4Click on the window thread, the window
// serving as the pass's host. In the "ラウドネス" mode (and for "測定") the files run on worker
// threads while the window stays live. The prompts are injected and must outlive the window.
class TForm2 : public QWidget, public NormalizerHost {
  Q_OBJECT

 public:
  explicit TForm2(Prompts& prompts, QWidget* parent = nullptr);

  const Form2Controls& Controls() const { return c_; }
  // The pass behind "開始" (tests replace its free-space query and output opener).
  NormalizePass& Pass() { return pass_; }
  // The list entries in order (full paths; a row may show figures after its path).
  QStringList Entries() const;
  // The selected list index, -1 when nothing is selected.
  int ItemIndex() const;
  // StopRequested: set by "中止", cleared when a pass starts.
  bool StopRequested() const { return pass_.StopRequested() || loudnessStop_; }
  // The report rows of the last loudness pass or measurement, in list order.
  const std::vector<ReportRow>& ReportRows() const { return reportRows_; }

 public slots:
  // "追加": adds the files chosen in OpenDialog1 but those refused, which one message lists.
  void SpeedButton1Click();
  void SpeedButton5Click();  // "上へ": the selected entry one place up, still selected
  void SpeedButton6Click();  // "下へ": the selected entry one place down (nothing selected: the first)
  void SpeedButton2Click();  // "削除": remove the selected entry
  void SpeedButton3Click();  // "全削除": empty the list, bars to 0
  void SpeedButton4Click();  // "開始": the normalization pass; returns when it ends
  void SpeedButton7Click();  // "中止": the running pass ends at its next block
  void SpeedButton8Click();  // "閉じる": hides the window, keeping list, settings and bars
  void SpeedButton9Click();   // "測定": measures the listed files on worker threads, writes nothing
  void SpeedButton10Click();  // "レポート保存": the CSV (or .jsonl) report of the last loudness run
  void ComboBox1Change(int index);  // a preset picked: its target and ceiling into the boxes
  void RadioGroup1Click();   // a mode is picked: percentage back to 100 (disabled in loudness mode)
  void ListBox1Click();      // a click in the list: both bars to 0

 public:
  // NormalizerHost: the pass's window actions.
  bool Confirm(const std::string& question) override;
  void SetSettingsEnabled(bool enabled) override;
  void SetBarMaximum(NormalizeBar bar, int64_t maximum) override;
  void SetBarPosition(NormalizeBar bar, int64_t position) override;
  void SelectEntry(int index) override;
  void ProcessEvents() override;
  // A peak or average entry written: its row shows the levels, gains and clipped samples.
  void EntryFinished(const EntryFigures& figures) override;

 protected:
  // FormShow: centres the window on the screen each time it is shown.
  void showEvent(QShowEvent* event) override;
  // Closing hides the window; a pass running then is stopped as by "中止" (nothing partial is
  // kept), so that no pass goes on writing behind a window nobody sees.
  void closeEvent(QCloseEvent* event) override;

 private:
  void Connect();
  // A message box with the system's text.
  void ShowMessage(const std::string& text);
  // Selects index; an index outside the list leaves nothing selected.
  void SetItemIndex(int index);
  // Appends one chosen file unless it is refused; the refusal's text (the path in it), empty
  // when the file was added.
  std::string AddOne(const QString& path);
  // Moves the entry at from to the place to (both in the list) and selects it there.
  void MoveEntry(int from, int to);
  // The percentage p from the spin box's text: a whole number brought into 1..150, the box then
  // showing p; nothing (the text left as it is) when the text is no whole number.
  std::optional<int> Percentage();
  // While a pass runs the start button and the list edits (add, up, down, delete, delete all) are
  // off: the pass shows its progress by the entries' places.
  void SetPassRunning(bool running);
  bool RefusedDuringPass() const { return pass_.Running() || loudnessRunning_; }
  bool LoudnessMode() const;
  // The target and ceiling of the boxes; nothing (the range told) when either is no number in range.
  std::optional<LoudnessTarget> TargetOfBoxes();
  // A loudness pass (or, measureOnly, a measurement) of the list on worker threads; returns when
  // it ends, the window live meanwhile.
  void RunLoudness(bool measureOnly);
  // Row index shows the path and what the run found of it.
  void ShowOutcome(size_t index, const LoudnessFileOutcome& outcome);
  void SetRowText(int index, const QString& text);

  Prompts& prompts_;
  QString openFolder_;  // folder of the last files added; the add dialog starts there
  Form2Controls c_;
  NormalizePass pass_{*this};
  std::atomic<bool> loudnessStop_{false};
  bool loudnessRunning_ = false;
  std::vector<ReportRow> reportRows_;
  bool reportLevels_ = false;  // the rows are of a peak or average pass
  int passEntry_ = -1;         // the entry the pass works on
};

}  // namespace sonaveld
