#pragma once
#include <QSpinBox>
#include <optional>

namespace sonaveld {

// A spin box that takes every text the user types: whole numbers outside the range, letters and
// an empty box are kept as typed instead of being refused keystroke by keystroke. When the text
// is interpreted (focus lost, Enter, an arrow, or interpretText() called by the program) a whole
// number is brought into minimum..maximum and any other text becomes the minimum; the box then
// shows the value it holds. Range, step and arrows are those of QSpinBox.
class LenientSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit LenientSpinBox(QWidget* parent = nullptr) : QSpinBox(parent) {}

  // The value a text stands for: a whole number (optional sign, digits, blanks around) brought
  // into minimum..maximum, however many digits it has; nothing for any other text.
  static std::optional<int> ValueOfText(const QString& text, int minimum, int maximum);

 protected:
  // Texts QSpinBox would refuse are Intermediate: kept while typing, corrected by fixup().
  QValidator::State validate(QString& input, int& pos) const override;
  // Replaces input by the number ValueOfText gives for it (minimum for a text that is none).
  void fixup(QString& input) const override;
};

}  // namespace sonaveld
