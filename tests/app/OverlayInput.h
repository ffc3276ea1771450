#pragma once
#include <QCoreApplication>
#include <QMouseEvent>

#include "app/RasterWidget.h"
#include "app/TForm1.h"

namespace sonaveld::test {

// Presses a mouse button on the overlay Image3 at column x (row 10), through the widget's own
// event handling, as a click on the waveform does.
inline void PressOverlay(TForm1& f, Qt::MouseButton button, int x, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* overlay = f.Controls().Image3;
  const QPointF local(x, 10);
  QMouseEvent event(QEvent::MouseButtonPress, local, overlay->mapToGlobal(local), button, button, mods);
  QCoreApplication::sendEvent(overlay, &event);
}

// Moves the pointer over the overlay.
inline void MoveOverOverlay(TForm1& f, int x) {
  QWidget* overlay = f.Controls().Image3;
  const QPointF local(x, 10);
  QMouseEvent event(QEvent::MouseMove, local, overlay->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(overlay, &event);
}

}  // namespace sonaveld::test
