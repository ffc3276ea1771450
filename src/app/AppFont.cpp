#include "app/AppFont.h"

#include <QStringList>

namespace sonaveld {

void InstallFontSubstitutions() {
  const QString family = QString::fromUtf8(kWindowFontFamily);
  if (QFont::substitutes(family).isEmpty()) {
    QFont::insertSubstitutions(family, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  }
}

QFont WindowFont(int pixelSize) {
  QFont font(QString::fromUtf8(kWindowFontFamily));
  font.setPixelSize(pixelSize);
  return font;
}

QFont RulerLabelFont() { return QFont(QString::fromUtf8(kWindowFontFamily), 9); }

}  // namespace sonaveld
