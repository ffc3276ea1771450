#include "app/TForm2.h"

#include "app/AppFont.h"

namespace sonaveld {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  InstallFontSubstitutions();
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("ノーマライズ"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
  setFixedSize(kForm2ClientWidth, kForm2ClientHeight);
}

}  // namespace sonaveld
