// Dragging a mark's marker on the ruler Image4: the cursor line follows the pointer, the release
// moves the mark (one undo step), Escape puts everything back; the hover names the mark.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "output/PieceList.h"
#include "view/CursorOverlay.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld {
namespace {

int PointerColumn(const QMouseEvent& event) { return static_cast<int>(event.position().x()); }

}  // namespace

int64_t TForm1::MarkAtRulerColumn(int x) const {
  if (!DocumentOpen()) return 0;
  int64_t best = 0;
  int64_t bestDistance = 2;  // a marker is three columns wide
  for (const int64_t mark : marks_.Sorted()) {
    if (mark < view_.ViewStart || mark > view_.ViewStart + int64_t{view::kLaneWidth} * view_.Zoom) continue;
    const int64_t distance = std::llabs(view::ColumnOfFrame(mark, view_.ViewStart, view_.Zoom) - x);
    if (distance < bestDistance) {
      best = mark;
      bestDistance = distance;
    }
  }
  return best;
}

bool TForm1::RulerEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: RulerPress(static_cast<QMouseEvent*>(event)); return draggedMark_ != 0;
    case QEvent::MouseMove: RulerMove(static_cast<QMouseEvent*>(event)); return false;
    case QEvent::MouseButtonRelease: RulerRelease(static_cast<QMouseEvent*>(event)); return false;
    case QEvent::KeyPress:
      if (draggedMark_ == 0 || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
      CancelMarkDrag();
      return true;
    default: return false;
  }
}

// A drag starts only on a marker with the plain left button, and not while a file is written.
void TForm1::RulerPress(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || event->modifiers() != Qt::NoModifier || flags_.Busy) return;
  draggedMark_ = MarkAtRulerColumn(PointerColumn(*event));
  if (draggedMark_ == 0) return;
  dragLinePos_ = cursor_.LinePos;
  dragLineX_ = cursor_.LineX;
  c_.Image4->grabKeyboard();  // Escape reaches the ruler during the drag
}

// The line alone follows the pointer; playback is not moved until the mark is set.
void TForm1::RulerMove(QMouseEvent* event) {
  const int x = PointerColumn(*event);
  if (draggedMark_ != 0) {
    view::ClearOverlay(c_.Image3->Image());
    view::DrawCursorLine(c_.Image3->Image(), std::clamp(x, 0, view::kLaneWidth - 1));
    c_.Image3->Changed();
    return;
  }
  const int64_t mark = MarkAtRulerColumn(x);
  if (mark == 0) {
    c_.Image4->unsetCursor();
    c_.Image4->setToolTip({});
    return;
  }
  c_.Image4->setCursor(Qt::SizeHorCursor);
  QString tip = QString::fromStdString(ClockText(mark - 1, std::max(1, file_.Header.SampleRate)));
  const std::string name = marks_.NameOf(mark);
  if (!name.empty()) tip += QLatin1Char(' ') + QString::fromStdString(name);
  c_.Image4->setToolTip(tip);
}

void TForm1::RulerRelease(QMouseEvent* event) {
  if (draggedMark_ == 0 || event->button() != Qt::LeftButton) return;
  const int64_t from = draggedMark_;
  const int x = PointerColumn(*event);
  CancelMarkDrag();
  const int64_t to = int64_t{x - 1} * view_.Zoom + view_.ViewStart;
  if (to == from || !marks_.Contains(from)) return;  // an undo during the drag may have taken it
  if (MarkRefusedWhilePlaying()) return;
  if (x < 0 || x >= view::kLaneWidth || to < 1 || to > file_.Header.Frames()) {
    ShowMessage(FormatMessage(MessageId::kNotMarkPosition, std::to_string(to)));
    return;
  }
  MoveMark(from, to);
}

void TForm1::CancelMarkDrag() {
  if (draggedMark_ == 0) return;
  draggedMark_ = 0;
  c_.Image4->releaseKeyboard();
  cursor_.LinePos = dragLinePos_;
  cursor_.LineX = dragLineX_;
  view::ClearOverlay(c_.Image3->Image());
  DrawLineAtLinePos();
  c_.Image3->Changed();
}

// The line stands at the mark's new place afterwards.
void TForm1::MoveMark(int64_t from, int64_t to) {
  MarkStore moved = marks_;
  const std::string name = moved.NameOf(from);
  moved.DeleteWhere([from](int64_t mark) { return mark == from; });
  const Status added = moved.Add(to, name);
  if (added.failed()) {
    ShowMessage(added.message());
    return;
  }
  marks_ = moved;
  cursor_.LinePos = to;
  cursor_.LineX = static_cast<int32_t>(view::ColumnOfFrame(to, view_.ViewStart, view_.Zoom));
  view::ClearOverlay(c_.Image3->Image());
  DrawLineAtLinePos();
  RedrawMarks();
}

}  // namespace sonaveld
