// The normalizer window's loudness mode: the target boxes and presets, the pass and the
// measurement on worker threads, the figures in the list rows and the report.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QStringList>
#include <cmath>
#include <thread>

#include "analysis/LoudnessBatch.h"
#include "app/Prompts.h"
#include "app/TForm2.h"
#include "app/WindowMessages.h"
#include "base/Messages.h"

namespace sonaveld {
namespace {

constexpr int kBarTop = 1000;  // both bars run 0..1000 in a loudness run

// The number in a box ("−" taken for "-"), when it is one and lies in lo..hi.
std::optional<double> NumberIn(const QLineEdit* box, double lo, double hi) {
  QString text = box->text().trimmed();
  text.replace(QChar(0x2212), QLatin1Char('-'));
  bool ok = false;
  const double value = QLocale::c().toDouble(text, &ok);
  if (!ok || !std::isfinite(value) || value < lo || value > hi) return std::nullopt;
  return value;
}

QString Figure(const std::optional<double>& value, int decimals, bool sign = false) {
  if (!value) return QStringLiteral("-");
  if (std::isinf(*value)) return QStringLiteral("-inf");
  QString text = QString::number(*value, 'f', decimals);
  return sign && *value >= 0 ? QLatin1Char('+') + text : text;
}

// What a row shows after its path: the measured I and TP, the gain and the output's loudness, or
// why the file was left alone, refused or stopped.
QString OutcomeText(const ReportRow& row) {
  // The row starts with the path already; a message that starts with it too is shown without.
  const std::string& m = row.message;
  const QString message = QString::fromStdString(m.starts_with(row.file) ? m.substr(row.file.size()) : m);
  if (row.status == "refused" || row.status == "failed") return QStringLiteral("拒否: ") + message;
  if (row.status == "stopped") return QStringLiteral("中止");
  QString text = QStringLiteral("I %1 LUFS  TP %2 dBTP").arg(Figure(row.integratedLufs, 1), Figure(row.truePeakDbtp, 1));
  if (row.status == "unchanged") return text + QStringLiteral("  そのまま: ") + message;
  text += QStringLiteral("  利得 %1 dB").arg(Figure(row.gainDb, 2, true));
  if (row.limited.value_or(false)) text += QStringLiteral("  トゥルーピーク上限で制限");
  if (row.outputIntegratedLufs) {
    text += QStringLiteral("  → I %1 LUFS  TP %2 dBTP")
                .arg(Figure(row.outputIntegratedLufs, 1), Figure(row.outputTruePeakDbtp, 1));
  }
  return text;
}

}  // namespace

void TForm2::ComboBox1Change(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kLoudnessPresets))) return;
  c_.Edit1->setText(QString::number(kLoudnessPresets[index].targetLufs, 'f', 1));
  c_.Edit2->setText(QString::number(kLoudnessPresets[index].ceilingDbtp, 'f', 1));
}

std::optional<LoudnessTarget> TForm2::TargetOfBoxes() {
  const std::optional<double> target = NumberIn(c_.Edit1, -70, -5);
  if (!target) {
    ShowMessage(FormatMessage(WindowMessageId::kTargetOutOfRange));
    return std::nullopt;
  }
  const std::optional<double> ceiling = NumberIn(c_.Edit2, -9, 0);
  if (!ceiling) {
    ShowMessage(FormatMessage(WindowMessageId::kCeilingOutOfRange));
    return std::nullopt;
  }
  return LoudnessTarget{*target, *ceiling};
}

void TForm2::SpeedButton9Click() {
  if (!RefusedDuringPass()) RunLoudness(true);
}

void TForm2::RunLoudness(bool measureOnly) {
  const std::optional<LoudnessTarget> target = TargetOfBoxes();
  if (!target) return;
  LoudnessBatchSettings settings;
  settings.settings.mode = NormalizeMode::kLoudness;
  settings.settings.keepSourceName = c_.CheckBox1->isChecked();
  settings.target = *target;
  settings.album = c_.CheckBox3->isChecked();
  settings.dualMono = c_.CheckBox4->isChecked();
  settings.measureOnly = measureOnly;
  settings.opener = pass_.sinkOpener();  // the outputs open as the peak and average passes' do
  std::vector<std::string> files;
  for (const QString& entry : Entries()) files.push_back(entry.toStdString());

  loudnessStop_ = false;
  loudnessRunning_ = true;
  reportRows_.clear();
  reportLevels_ = false;
  SetPassRunning(true);
  SetSettingsEnabled(false);
  for (NormalizeBar bar : {NormalizeBar::kWhole, NormalizeBar::kFile}) SetBarMaximum(bar, kBarTop), SetBarPosition(bar, 0);

  // The batch runs on its own thread; what it tells comes to the window thread in order through
  // queued calls, the last of which ends the loop.
  QEventLoop loop;
  LoudnessBatchHooks hooks;
  hooks.stopTest = [this] { return loudnessStop_.load(); };
  hooks.progress = [this](int64_t done, int64_t total) {
    const int64_t position = total > 0 ? done * kBarTop / total : 0;
    QMetaObject::invokeMethod(this, [this, position] { SetBarPosition(NormalizeBar::kWhole, position); },
                              Qt::QueuedConnection);
  };
  hooks.fileProgress = [this](size_t index, double share) {
    QMetaObject::invokeMethod(this, [this, index, share] {
      SelectEntry(static_cast<int>(index));
      SetBarPosition(NormalizeBar::kFile, std::lround(share * kBarTop));
    }, Qt::QueuedConnection);
  };
  hooks.fileDone = [this](size_t index, const LoudnessFileOutcome& outcome) {
    QMetaObject::invokeMethod(this, [this, index, outcome] { ShowOutcome(index, outcome); }, Qt::QueuedConnection);
  };
  std::thread worker([&] {
    RunLoudnessBatch(files, settings, hooks);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();

  if (!loudnessStop_) SetBarPosition(NormalizeBar::kWhole, kBarTop), SetBarPosition(NormalizeBar::kFile, kBarTop);
  SetItemIndex(-1);  // as after a peak or average pass: nothing selected
  QStringList refusals;
  for (const ReportRow& row : reportRows_) {
    if (row.status == "refused" || row.status == "failed") refusals << QString::fromStdString(row.message);
  }
  if (!refusals.isEmpty()) prompts_.Message(refusals.join(QLatin1Char('\n')));
  loudnessRunning_ = false;
  SetSettingsEnabled(true);
  SetPassRunning(false);
}

void TForm2::ShowOutcome(size_t index, const LoudnessFileOutcome& outcome) {
  reportRows_.push_back(outcome.row);
  SetBarPosition(NormalizeBar::kFile, kBarTop);
  if (static_cast<int>(index) >= c_.ListBox1->count()) return;
  const QString path = c_.ListBox1->item(static_cast<int>(index))->data(Qt::UserRole).toString();
  SetRowText(static_cast<int>(index), path + QStringLiteral("    ") + OutcomeText(outcome.row));
}

void TForm2::EntryFinished(const EntryFigures& figures) {
  if (passEntry_ < 0 || passEntry_ >= static_cast<int>(reportRows_.size())) return;
  ReportRow& row = reportRows_[passEntry_];
  FillLevels(row, figures);
  // Each figure channel by channel, " / " between them: left, right, then the third channel on.
  QStringList levels{Figure(row.levelLeftDbfs, 1)}, gains{Figure(row.gainDb, 2, true)};
  QStringList clipped{QString::number(*row.clippedLeft)};
  if (row.levelRightDbfs.has_value()) {
    levels << Figure(row.levelRightDbfs, 1), gains << Figure(row.gainRightDb, 2, true);
    clipped << QString::number(*row.clippedRight);
  }
  for (size_t k = 0; k < row.levelMoreDbfs.size(); ++k) {
    levels << Figure(row.levelMoreDbfs[k], 1), gains << Figure(row.gainMoreDb[k], 2, true);
    clipped << QString::number(row.clippedMore[k]);
  }
  const QString between = QStringLiteral(" / ");
  const QString text = QStringLiteral("    レベル %1 dBFS  利得 %2 dB  クリップ %3")
                           .arg(levels.join(between), gains.join(between), clipped.join(between));
  if (passEntry_ < c_.ListBox1->count()) {
    SetRowText(passEntry_, c_.ListBox1->item(passEntry_)->data(Qt::UserRole).toString() + text);
  }
}

void TForm2::SpeedButton10Click() {
  if (RefusedDuringPass()) return;
  if (reportRows_.empty()) return ShowMessage(FormatMessage(WindowMessageId::kNoReport));
  const QString path = prompts_.ReportSaveDialog(openFolder_);
  if (path.isEmpty()) return;
  if (!WriteReport(path.toStdString(), reportRows_, reportLevels_)) {
    ShowMessage(FormatMessage(MessageId::kCannotWrite, path.toStdString()));
  }
}

}  // namespace sonaveld
