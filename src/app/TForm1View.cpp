// The waveform view of the main window: WaveDrow, scrolling, zoom, the cursor line, the ruler and
// the cut map strip.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <limits>

#include "app/AppFont.h"
#include "app/Prompts.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "io/ByteSource.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/CutMap.h"
#include "view/TimeRuler.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"
#include "view/WaveLanes.h"

namespace sonaveld {
namespace {

constexpr int64_t kIntMax = std::numeric_limits<int>::max();
const QString kWholeFileItem = QStringLiteral("全体");

}  // namespace

TForm1::RedrawScope::RedrawScope(TForm1& form) : form_(form), outer_(!form.redrawing_) {
  form_.redrawing_ = true;
}

TForm1::RedrawScope::~RedrawScope() {
  if (!outer_) return;
  form_.redrawing_ = false;
  if (form_.scrollPending_ || form_.zoomPending_) {
    QTimer::singleShot(0, &form_, &TForm1::RunPendingChanges);
  }
}

void TForm1::RunPendingChanges() {
  if (redrawing_) return;  // the scope that ends the running redraw queues this again
  const bool zoom = zoomPending_;
  const bool scroll = scrollPending_;
  zoomPending_ = scrollPending_ = false;
  if (zoom) ComboBox1Change();
  if (scroll && !zoom) ScrollBar1Change();
}

void TForm1::RefreshImages() {
  c_.Image1->Changed();
  c_.Image2->Changed();
  c_.Image3->Changed();
}

void TForm1::SetScrollPosition(int64_t position) {
  const QSignalBlocker blocker(c_.ScrollBar1);
  c_.ScrollBar1->setValue(static_cast<int>(std::clamp<int64_t>(position, 0, kIntMax)));
}

void TForm1::SetScrollMaximum(int64_t maximum) {
  const QSignalBlocker blocker(c_.ScrollBar1);
  c_.ScrollBar1->setMaximum(static_cast<int>(std::min(maximum, kIntMax)));
}

// Arrow: 100 columns; trough: one screen of 760 columns. Both are whole columns, so a step from a
// position on the zoom grid lands on the grid and the view moves by exactly that much.
void TForm1::SetScrollSteps() {
  const int64_t zoom = view_.Zoom;
  c_.ScrollBar1->setSingleStep(static_cast<int>(std::min<int64_t>(zoom * 100, kIntMax)));
  c_.ScrollBar1->setPageStep(static_cast<int>(std::min<int64_t>(zoom * view::kLaneWidth, kIntMax)));
}

bool TForm1::ZoomFromBox(int32_t& zoom) {
  const QString text = takenZoomText_;
  const view::ZoomReading read = view::ReadZoomText(text);
  if (read.refusal == view::ZoomRefusal::kNone) {
    zoom = read.zoom;
    return true;
  }
  // The box shows the zoom in force before the message takes the focus, so that the focus change
  // finds no edit left to take and the refused text is not met again by the next command.
  ShowZoomText(view_.Zoom);
  switch (read.refusal) {
    case view::ZoomRefusal::kNotInteger: ShowMessage(FormatMessage(MessageId::kNotInteger, text.toStdString())); break;
    case view::ZoomRefusal::kBelowOne: ShowMessage(FormatMessage(WindowMessageId::kZoomBelowOne)); break;
    default: ShowMessage(FormatMessage(WindowMessageId::kZoomTooLarge, std::to_string(view::kMaxZoom))); break;
  }
  return false;
}

// isModified: the user's typing set it, the program's setText (a list choice, a wheel step)
// cleared it.
void TForm1::ZoomBoxTextChanged() {
  zoomTyped_ = c_.ComboBox1->lineEdit()->isModified();
  if (!zoomTyped_) TakeZoomText();
}

// Opening the box's own list takes the focus from its text but ends no edit: a choice from the
// list replaces the text, and closing the list without one gives the text back its focus.
void TForm1::ZoomEditEnded() {
  if (!zoomTyped_ || c_.ComboBox1->view()->isVisible()) return;
  zoomTyped_ = false;
  TakeZoomText();
}

void TForm1::TakeZoomText() {
  // "全体" stands for the zoom of the whole file, which the box then shows.
  if (c_.ComboBox1->currentText() == kWholeFileItem) {
    // Without a document there is no whole yet: the box shows the zoom in force again.
    ShowZoomText(DocumentOpen() ? WholeFileZoom() : lastZoom_);
    ComboBox1Change();
    return;
  }
  takenZoomText_ = c_.ComboBox1->currentText();
  const view::ZoomReading read = view::ReadZoomText(takenZoomText_);
  if (read.refusal == view::ZoomRefusal::kNone) lastZoom_ = read.zoom;
  ComboBox1Change();
}

void TForm1::ShowZoomText(int32_t zoom) {
  lastZoom_ = zoom;
  zoomTyped_ = false;
  takenZoomText_ = QString::number(zoom);
  const QSignalBlocker blocker(c_.ComboBox1);
  c_.ComboBox1->setEditText(takenZoomText_);
}

int32_t TForm1::ZoomForOpen() {
  const QString text = c_.ComboBox1->currentText();
  const view::ZoomReading read = view::ReadZoomText(text);
  if (read.refusal != view::ZoomRefusal::kNone) {
    ShowZoomText(lastZoom_);
    return lastZoom_;
  }
  zoomTyped_ = false;
  takenZoomText_ = text;
  lastZoom_ = read.zoom;
  return read.zoom;
}

void TForm1::SnapViewStartToScroll() {
  view_.ViewStart = view::SnapToZoomGrid(c_.ScrollBar1->value(), view_.Zoom);
  SetScrollPosition(view_.ViewStart);
}

void TForm1::DrawView(ByteSource& file, bool followScroll) {
  const WaveHeader& h = file_.Header;
  view::ViewBounds bounds = view::ComputeViewBounds(h, view_.ViewStart, view_.Zoom);
  if (bounds.scrollMaximum) {
    const int before = c_.ScrollBar1->value();
    SetScrollMaximum(*bounds.scrollMaximum);
    // A lower maximum pulled the position back: the view follows the bar, drawn once.
    if (followScroll && c_.ScrollBar1->value() != before) {
      SnapViewStartToScroll();
      bounds = view::ComputeViewBounds(h, view_.ViewStart, view_.Zoom);
    }
  }
  view_.ViewEnd = bounds.viewEnd;
  DrawLanes(file);
}

bool TForm1::WaveDrow() {
  RedrawScope scope(*this);
  c_.Image1->Image().fill(Qt::white);
  c_.Image2->Image().fill(Qt::white);
  view::ClearOverlay(c_.Image3->Image());
  RefreshImages();
  device_.Close();
  if (!DrawFromScroll()) {
    ShowMessage(FormatMessage(MessageId::kCannotOpen, file_.WaveFileName));
    return false;
  }
  return true;
}

void TForm1::DrawLineAtLinePos() {
  if (view::CursorLineSkipped(c_.ScrollBar1->value(), takenZoomText_, cursor_.LinePos)) return;
  const int64_t x = view::ColumnOfFrame(cursor_.LinePos, view_.ViewStart, view_.Zoom);
  if (x < -1 || x > view::kLaneWidth + 1) return;  // wholly outside the overlay
  view::DrawCursorLine(c_.Image3->Image(), static_cast<int>(x));
  c_.Image3->Changed();
}

void TForm1::ScrollBar1Change() {
  if (redrawing_) {
    scrollPending_ = true;
    return;
  }
  if (BusyRefused() || !DocumentOpen()) return;
  SetScrollSteps();
  SnapViewStartToScroll();
  if (!WaveDrow()) return;
  DrawLineAtLinePos();
}

void TForm1::ComboBox1Change() {
  if (redrawing_) {
    zoomPending_ = true;
    return;
  }
  if (BusyRefused() || !DocumentOpen()) return;
  const bool wasPlaying = device_.Mode() == PlaybackMode::kPlaying;
  int32_t zoom = 0;
  if (!ZoomFromBox(zoom)) return;
  view_.Zoom = zoom;
  SetScrollSteps();

  // Keep the frame under the cursor line in its column.
  const int lineX = view::FindCursorColumn(c_.Image3->Image());
  SetScrollPosition(view::ZoomChangeScrollPosition(lineX, cursor_.LinePos, c_.ScrollBar1->value(), zoom,
                                                   file_.Header));
  if (!WaveDrow()) return;
  DrawLineAtLinePos();

  if (wasPlaying) {
    flags_.StatusHeld = false;
    if (!OpenDeviceAtLine()) return;
    device_.Play();
  }
}

void TForm1::TimeLineDrow() {
  const Status drawn =
      view::DrawTimeRuler(c_.Image4->Image(), view_.ViewStart, view_.Zoom, file_.Header.SampleRate,
                          takenZoomText_, marks_.Sorted(), RulerLabelFont());
  c_.Image4->Changed();
  if (drawn.failed()) ShowMessage(drawn.message());
}

void TForm1::PointImageDrow() {
  view::DrawCutMap(c_.Image5->Image(), marks_.Sorted(), marks_.KeepHead(), file_.Header);
  c_.Image5->Changed();
}

}  // namespace sonaveld
