// The cursor line and the pointer input on the overlay Image3: placing the line, playing from it,
// the pop-up menu, the jump to the position bar, and the zoom box's focus for the wheel.
#include <QComboBox>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>
#include <algorithm>
#include <limits>

#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/TForm2.h"
#include "app/ZoomBoxKeys.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/ViewMath.h"

namespace sonaveld {

bool TForm1::Playing() { return device_.Mode() == PlaybackMode::kPlaying; }

int32_t TForm1::LineMilliseconds() const {
  const int64_t ms = FrameToMilliseconds(cursor_.LinePos, file_.Header.SampleRate);
  return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int32_t>::max()));
}

bool TForm1::OpenDeviceAtLine() {
  if (!OpenDevice()) return false;
  device_.SetPosition(LineMilliseconds());
  return true;
}

// Left: place the line; Ctrl+left: play from it; right: the pop-up menu; Ctrl+right: jump to the
// position bar; middle: nothing. Only the two Ctrl branches are refused while a file is written.
void TForm1::Image3MouseDown(QMouseEvent* event) {
  if (!DocumentOpen()) return;
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  switch (event->button()) {
    case Qt::LeftButton:
      if (ctrl) {
        SpeedButton3Click();
      } else {
        PlaceLineAt(static_cast<int>(event->position().x()));
      }
      break;
    case Qt::RightButton:
      if (ctrl) {
        SpeedButton4Click();
      } else {
        ShowPopupMenu();
      }
      break;
    default:
      break;
  }
}

// Hands the focus to the zoom box so that the wheel zooms, while the normalizer window exists and
// is hidden. The box is not being edited then: Space, M, Delete and Home stay the window's keys.
void TForm1::Image3MouseMove(QMouseEvent*) {
  if (!DocumentOpen()) return;
  zoomKeys_->PointerOverWaveform();
  if (form2_ == nullptr || form2_->isVisible()) return;
  if (c_.ComboBox1->hasFocus()) return;
  zoomKeys_->HandFocusForWheel();
}

// "再生" (also Ctrl+left on the waveform and the pop-up's "再生").
void TForm1::SpeedButton3Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  PlayFromLine();
}

// "Track再生位置" (also Ctrl+right on the waveform).
void TForm1::SpeedButton4Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  JumpToTrackBar();
}

// The line at overlay column x. The frame there is (x - 1) * Zoom + ViewStart, but never below 1,
// the first frame. Playback, if running, jumps to the new line.
void TForm1::PlaceLineAt(int x) {
  view::ClearOverlay(c_.Image3->Image());
  view::DrawCursorLine(c_.Image3->Image(), x);
  c_.Image3->Changed();
  cursor_.LineX = x;
  cursor_.LinePos = std::max<int64_t>(1, int64_t{x - 1} * view_.Zoom + view_.ViewStart);
  if (!Playing()) return;
  device_.Close();
  if (!OpenDeviceAtLine()) return;
  device_.Play();
}

void TForm1::PlayFromLine() {
  if (Playing()) return;
  if (!OpenDeviceAtLine()) return;
  device_.Play();
}

// Playback stops before the menu opens at the pointer. The menu is shown without a nested event
// loop; its items run their own handlers with their own guards.
void TForm1::ShowPopupMenu() {
  if (Playing()) {
    if (!OpenDevice()) return;
    device_.Stop();
    device_.Close();
  }
  m_.PopupMenu1->popup(QCursor::pos());
}

// The line to the position bar's time; the view scrolls there and is redrawn without a line; the
// device stands at the new place, playing again if it was playing, else paused.
void TForm1::JumpToTrackBar() {
  const bool wasPlaying = Playing();
  cursor_.LinePos = std::max<int64_t>(1, MillisecondsToFrame(c_.TrackBar1->value(), file_.Header.SampleRate));
  // The scroll bar clamps the position to its range; a change runs ScrollBar1Change.
  c_.ScrollBar1->setValue(static_cast<int>(
      std::min<int64_t>(cursor_.LinePos, std::numeric_limits<int>::max())));
  if (!WaveDrow()) return;
  flags_.StatusHeld = false;
  device_.Close();
  if (!OpenDeviceAtLine()) return;
  if (wasPlaying) {
    device_.Play();
  } else {
    device_.Pause();
  }
}

}  // namespace sonaveld
