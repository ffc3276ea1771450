#pragma once
#include <QString>

namespace sonaveld {

// Names a control and puts it at its place in its parent's client area (pixels).
template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

}  // namespace sonaveld
