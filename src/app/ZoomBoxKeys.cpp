#include "app/ZoomBoxKeys.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace sonaveld {

ZoomBoxKeys::ZoomBoxKeys(QComboBox* box, QList<QKeySequence> windowKeys)
    : QObject(box), box_(box), windowKeys_(std::move(windowKeys)) {
  box_->installEventFilter(this);
  if (box_->lineEdit() != nullptr) box_->lineEdit()->installEventFilter(this);
  connect(box_, &QComboBox::activated, this, [this] { editing_ = false; });
}

void ZoomBoxKeys::HandFocusForWheel() {
  handingOver_ = true;
  box_->setFocus(Qt::MouseFocusReason);
  handingOver_ = false;
  editing_ = false;
}

bool ZoomBoxKeys::IsWindowKey(const QKeyEvent& key) const {
  const QKeySequence typed(QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
  return windowKeys_.contains(typed);
}

void ZoomBoxKeys::NoteKeyPress(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      editing_ = false;
      break;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
      break;
    default:
      editing_ = true;
  }
}

// The box is the focus widget (its line edit's focus proxy), so its keys and focus changes pass
// here first. A shortcut-override left unaccepted lets the window's shortcut take the key. A click
// into the text starts an edit also when the box had the focus already.
bool ZoomBoxKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched != box_) {
    if (event->type() == QEvent::MouseButtonPress) editing_ = true;
    return false;
  }
  switch (event->type()) {
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                          reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
      editing_ = byUser && !handingOver_;
      break;
    }
    case QEvent::FocusOut:
      editing_ = false;
      break;
    case QEvent::ShortcutOverride:
      if (!editing_ && IsWindowKey(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
      }
      break;
    case QEvent::KeyPress:
      NoteKeyPress(*static_cast<QKeyEvent*>(event));
      break;
    default:
      break;
  }
  return false;
}

}  // namespace sonaveld
