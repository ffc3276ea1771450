#include "app/LenientSpinBox.h"

#include <QRegularExpression>
#include <algorithm>

namespace sonaveld {

std::optional<int> LenientSpinBox::ValueOfText(const QString& text, int minimum, int maximum) {
  static const QRegularExpression kWhole(QStringLiteral("^([+-]?)0*([0-9]+)$"));
  const QRegularExpressionMatch match = kWhole.match(text.trimmed());
  if (!match.hasMatch()) return std::nullopt;
  const bool negative = match.captured(1) == QLatin1String("-");
  const QString digits = match.captured(2);
  // Past nine significant digits the number may not fit an int; it lies beyond either end anyway.
  if (digits.size() > 9) return negative ? minimum : maximum;
  const int magnitude = digits.toInt();
  return std::clamp(negative ? -magnitude : magnitude, minimum, maximum);
}

QValidator::State LenientSpinBox::validate(QString& input, int& pos) const {
  const QValidator::State state = QSpinBox::validate(input, pos);
  return state == QValidator::Invalid ? QValidator::Intermediate : state;
}

void LenientSpinBox::fixup(QString& input) const {
  input = QString::number(ValueOfText(input, minimum(), maximum()).value_or(minimum()));
}

}  // namespace sonaveld
