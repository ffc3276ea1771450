#pragma once
#include "app/Prompts.h"

namespace sonaveld {

// The real boxes and dialogs, modal over parent (which must outlive this object).
class QtPrompts final : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  // The window the boxes are modal over (not owned; null: application-modal).
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Message(const QString& text) override;
  bool Confirm(const QString& text) override;
  QString OpenDialog1() override;
  QString SaveDialog1() override;
  QString SaveDialog2() override;
  QStringList Form2OpenDialog1() override;

 private:
  QWidget* parent_;
};

}  // namespace sonaveld
