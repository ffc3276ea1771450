#pragma once
#include "app/Prompts.h"

namespace sonaveld {

// The real boxes and dialogs, modal over parent (which must outlive this object). The file dialogs
// are Qt's own, not the desktop's, so that they speak the program's language (Qt's Japanese
// texts, installed at start) whatever the system locale.
class QtPrompts final : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  // The window the boxes are modal over (not owned; null: application-modal).
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Message(const QString& text) override;
  bool Confirm(const QString& text) override;
  QString OpenDialog1(const QString& folder) override;
  QString SaveDialog1(const QString& folder) override;
  QString SaveDialog2(const QString& folder) override;
  QString ReportSaveDialog(const QString& folder) override;
  QStringList Form2OpenDialog1(const QString& folder) override;
  std::optional<PauseSettings> PauseSettingsPrompt(const PauseSettings& initial) override;
  QString OpenMarkFileDialog(MarkFileKind kind, const QString& folder) override;
  QString SaveMarkFileDialog(MarkFileKind kind, const QString& folder) override;

 private:
  QWidget* parent_;
};

}  // namespace sonaveld
