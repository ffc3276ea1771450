// The start and stop buttons of the normalizer window and the window actions of the pass.
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/LenientSpinBox.h"
#include "app/Prompts.h"
#include "app/TForm2.h"
#include "app/WindowMessages.h"

namespace sonaveld {
namespace {

int ClampToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX)); }

}  // namespace

void TForm2::SpeedButton4Click() {
  if (RefusedDuringPass()) return;
  if (LoudnessMode()) return RunLoudness(false);
  const std::optional<int> percent = Percentage();
  if (!percent) {
    ShowMessage(FormatMessage(WindowMessageId::kPercentNotWhole));
    return;
  }
  NormalizeSettings settings;
  settings.percent = *percent;
  settings.mode = c_.RadioGroup1Items->checkedId() == 1 ? NormalizeMode::kAverage : NormalizeMode::kPeak;
  settings.keepSourceName = c_.CheckBox1->isChecked();
  settings.linked = c_.CheckBox2->isChecked();

  // The entries are taken once; the list cannot be edited until the pass ends.
  std::vector<std::string> entries;
  for (const QString& entry : Entries()) entries.push_back(entry.toStdString());

  // Figures of an earlier loudness run no longer hold.
  for (int i = 0; i < c_.ListBox1->count(); ++i) SetRowText(i, c_.ListBox1->item(i)->data(Qt::UserRole).toString());
  reportRows_.assign(entries.size(), ReportRow{});
  for (size_t i = 0; i < entries.size(); ++i) reportRows_[i].file = entries[i], reportRows_[i].status = "stopped";
  reportLevels_ = true;
  SetPassRunning(true);
  const PassResult result = pass_.Run(entries, settings);
  if (result.status.failed() && passEntry_ >= 0 && passEntry_ < static_cast<int>(entries.size())) {
    reportRows_[passEntry_].status = "failed";
    reportRows_[passEntry_].message = result.status.message();
  }
  if (result.outcome == PassOutcome::kRestored || result.outcome == PassOutcome::kDeclined) reportRows_.clear();
  if (result.status.failed()) ShowMessage(result.status.message());
  SetSettingsEnabled(true);  // every way out of the pass leaves the settings usable
  SetPassRunning(false);
}

void TForm2::SpeedButton7Click() {
  pass_.RequestStop();
  if (loudnessRunning_) loudnessStop_ = true;
}

std::optional<int> TForm2::Percentage() {
  if (!LenientSpinBox::ValueOfText(c_.SpinEdit1->text(), c_.SpinEdit1->minimum(), c_.SpinEdit1->maximum())) {
    return std::nullopt;
  }
  // The box brings the number into its range itself and shows the result, so the pass uses what
  // the box shows.
  c_.SpinEdit1->interpretText();
  return c_.SpinEdit1->value();
}

void TForm2::SetPassRunning(bool running) {
  for (QToolButton* button : {c_.SpeedButton4, c_.SpeedButton1, c_.SpeedButton5, c_.SpeedButton6, c_.SpeedButton2,
                              c_.SpeedButton3, c_.SpeedButton9, c_.SpeedButton10}) {
    button->setEnabled(!running);
  }
}

void TForm2::ShowMessage(const std::string& text) { prompts_.Message(QString::fromStdString(text)); }

bool TForm2::Confirm(const std::string& question) { return prompts_.Confirm(QString::fromStdString(question)); }

void TForm2::SetSettingsEnabled(bool enabled) {
  c_.SpinEdit1->setEnabled(enabled && !LoudnessMode());  // the percentage has no say in loudness mode
  c_.RadioGroup1->setEnabled(enabled);
  c_.CheckBox1->setEnabled(enabled);
  c_.CheckBox2->setEnabled(enabled);
  const std::initializer_list<QWidget*> loudness = {c_.RadioGroup1Item2, c_.Edit1, c_.Edit2, c_.ComboBox1,
                                                    c_.CheckBox3, c_.CheckBox4};
  for (QWidget* control : loudness) {
    control->setEnabled(enabled);
  }
}

void TForm2::SetBarMaximum(NormalizeBar bar, int64_t maximum) {
  QProgressBar* target = bar == NormalizeBar::kWhole ? c_.ProgressBar1 : c_.ProgressBar2;
  // Qt's bar would reset a position outside its new range to "no progress" (drawn empty); the pass
  // expects the bar to keep its position, brought down to the new maximum where it lies above it.
  const int position = std::max(target->value(), 0);
  const int top = std::max(ClampToInt(maximum), 1);
  target->setMaximum(top);
  target->setValue(std::min(position, top));
}

void TForm2::SetBarPosition(NormalizeBar bar, int64_t position) {
  QProgressBar* target = bar == NormalizeBar::kWhole ? c_.ProgressBar1 : c_.ProgressBar2;
  target->setValue(std::min(ClampToInt(position), target->maximum()));
}

void TForm2::SelectEntry(int index) {
  passEntry_ = index;
  SetItemIndex(index);
}

void TForm2::ProcessEvents() { QCoreApplication::processEvents(); }

}  // namespace sonaveld
