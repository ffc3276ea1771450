#include "app/QtPrompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/PauseSettingsDialog.h"

namespace sonaveld {
namespace {

// Every box carries the program's name as its title, so a box over another window still says
// which program is asking.
QString BoxTitle() { return QStringLiteral("Sonaveld"); }

// The dialog of a file of marks: its filter first, then every file.
void SetUpMarkFileDialog(QFileDialog& dialog, MarkFileKind kind, QFileDialog::AcceptMode mode) {
  const bool labels = kind == MarkFileKind::kLabels;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode);
  dialog.setNameFilters({labels ? QStringLiteral("ラベルファイル (*.txt)") : QStringLiteral("CUEシート (*.cue)"),
                         QStringLiteral("すべてのファイル (*)")});
  if (mode == QFileDialog::AcceptSave) dialog.setDefaultSuffix(labels ? QStringLiteral("txt") : QStringLiteral("cue"));
  if (mode == QFileDialog::AcceptOpen) dialog.setFileMode(QFileDialog::ExistingFile);
}

QString ChosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

// A save dialog with one filter and its default suffix: the path chosen, empty when cancelled.
QString SaveDialog(QWidget* parent, const QString& folder, const QString& filter, const QString& suffix,
                   bool confirmOverwrite) {
  QFileDialog dialog(parent, QString(), folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(suffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

void QtPrompts::Message(const QString& text) {
  QMessageBox::information(parent_, BoxTitle(), text, QMessageBox::Ok);
}

bool QtPrompts::Confirm(const QString& text) {
  return QMessageBox::question(parent_, BoxTitle(), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QString QtPrompts::OpenDialog1(const QString& folder) {
  return QFileDialog::getOpenFileName(parent_, QString(), folder, QStringLiteral("Waveファイル (*.wav *wave)"),
                                      nullptr, QFileDialog::DontUseNativeDialog);
}

QString QtPrompts::SaveDialog1(const QString& folder) {
  return SaveDialog(parent_, folder, QStringLiteral("wavファイル (*.wav)"), QStringLiteral("wav"), false);
}

QString QtPrompts::ReportSaveDialog(const QString& folder) {
  return SaveDialog(parent_, folder, QStringLiteral("CSVファイル (*.csv)"), QStringLiteral("csv"), true);
}

QString QtPrompts::SaveDialog2(const QString& folder) {
  // The description without a pattern lists every file; only the base name is used.
  QFileDialog dialog(parent_, QString(), folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QStringLiteral("wavファイル (*)"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QStringList QtPrompts::Form2OpenDialog1(const QString& folder) {
  // Several files at once; the dialog stays resizable and offers no read-only choice.
  QFileDialog dialog(parent_, QString(), folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QStringLiteral("Waveファイル (*.wav *.wave)"));
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

QString QtPrompts::OpenMarkFileDialog(MarkFileKind kind, const QString& folder) {
  QFileDialog dialog(parent_, QString(), folder);
  SetUpMarkFileDialog(dialog, kind, QFileDialog::AcceptOpen);
  return ChosenFile(dialog);
}

QString QtPrompts::SaveMarkFileDialog(MarkFileKind kind, const QString& folder) {
  QFileDialog dialog(parent_, QString(), folder);
  SetUpMarkFileDialog(dialog, kind, QFileDialog::AcceptSave);
  return ChosenFile(dialog);
}

std::optional<PauseSettings> QtPrompts::PauseSettingsPrompt(const PauseSettings& initial) {
  PauseSettingsDialog dialog(initial, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Settings();
}

}  // namespace sonaveld
