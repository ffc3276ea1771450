// The transport of the main window: "最初", "停止", the position bar, and the refresh tick that
// makes the bar, the cursor line, the time display and the status panel follow the playback.
// The buttons "再生" and "Track再生位置" share their work with the pointer input (TForm1Cursor.cpp).
#include <QColor>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <limits>

#include "app/PlayTimeText.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/TimeDisplay.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/ViewMath.h"

namespace sonaveld {
namespace {

const QColor kPlayingColour(255, 0, 0);
const QColor kStoppedColour(0, 0, 255);

}  // namespace

bool TForm1::OpenDevice() {
  pieceEndMs_ = 0;  // every other playback runs on to the end of the file
  const Status opened = device_.Open();
  if (opened.failed()) ShowMessage(opened.message());
  return opened.ok();
}

// "最初": plays from the start; a freshly opened device stands at 0, so a running playback
// restarts from the beginning.
void TForm1::SpeedButton1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  flags_.StatusHeld = false;
  if (!OpenDevice()) return;
  device_.Play();
}

// "停止": the device ends closed.
void TForm1::SpeedButton2Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (!OpenDevice()) return;
  device_.Stop();
  device_.Close();
}

void TForm1::PlayStop1Click() {
  if (Playing()) {
    SpeedButton2Click();
  } else {
    SpeedButton3Click();
  }
}

// Every change of the bar's position. The refresh tick's own move of the bar is ignored; every
// move by the user (a drag, a click in the groove, a key) plays from where the bar lands.
void TForm1::TrackBar1Change() {
  if (flags_.TrackByTimer) return;
  if (BusyRefused() || !DocumentOpen()) return;
  flags_.StatusHeld = false;
  if (!OpenDevice()) return;
  device_.SetPosition(c_.TrackBar1->value());
  device_.Play();
}

// Every 80 ms while a document is open. Reads only the device's counters (mode and position),
// never the file.
void TForm1::Timer1Timer() {
  if (!DocumentOpen()) return;
  if (device_.Mode() == PlaybackMode::kPlaying) {
    // The flag marks the tick's own move for TrackBar1Change only while the move runs, so that
    // the next change, the user's, is never taken for the tick's.
    flags_.TrackByTimer = true;
    c_.TrackBar1->setValue(device_.Position());
    flags_.TrackByTimer = false;
    FollowPlayPosition(device_.Position());
    StopAtPieceEnd();
    if (!flags_.StatusHeld) SetPanel1(QStringLiteral("再生中"), kPlayingColour);
  } else if (!flags_.StatusHeld) {
    SetPanel1(QStringLiteral("停止"), kStoppedColour);
    device_.Close();  // playback that reached its end is closed here
  }
  ShowPlayTime(c_.TrackBar1->value());
}

// The cursor line to the frame at ms; the view does not scroll, so outside it no line shows.
void TForm1::FollowPlayPosition(int32_t ms) {
  cursor_.LinePos = MillisecondsToFrame(ms, file_.Header.SampleRate);
  const int64_t column = view::ColumnOfFrame(cursor_.LinePos, view_.ViewStart, view_.Zoom);
  cursor_.LineX = static_cast<int32_t>(std::clamp<int64_t>(column, std::numeric_limits<int32_t>::min(),
                                                            std::numeric_limits<int32_t>::max()));
  view::ClearOverlay(c_.Image3->Image());
  view::DrawCursorLine(c_.Image3->Image(), cursor_.LineX);
  c_.Image3->Changed();
  PageToPlayPosition();
}

void TForm1::ShowPlayTime(int32_t ms) {
  const PlayTimeText text = FormatPlayTime(ms);
  c_.Label8->setText(QString::fromStdString(text.hours));
  c_.Label3->setText(QString::fromStdString(text.minutes));
  c_.Label4->setText(QString::fromStdString(text.seconds));
  PlaceTimeDisplay(c_);  // more hour digits widen the display to the left
}

}  // namespace sonaveld
