// The mark commands of the main window: add at the line, delete at the line, delete all, keep
// head, and the mark list file beside the WAV file.
#include <QAction>
#include <algorithm>

#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "marks/MarkListFile.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/TimeRuler.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld {

void TForm1::RedrawMarks() {
  SyncMemos();
  TimeLineDrow();
  PointImageDrow();
  CommitMarks();
}

bool TForm1::MarkRefusedWhilePlaying() {
  if (!Playing()) return false;
  ShowMessage(FormatMessage(WindowMessageId::kNoMarkWhilePlaying));
  return true;
}

// "ライン位置でマーク追加": a mark at the cursor line's frame, which must show on the overlay.
void TForm1::N1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (MarkRefusedWhilePlaying()) return;
  if (!view::CursorLineShowing(c_.Image3->Image())) {
    ShowMessage(FormatMessage(WindowMessageId::kNoTimeLine));
    return;
  }
  AddMarkAt(cursor_.LinePos);
}

// The frame heard now is the device's position turned into a frame as the refresh tick turns it
// for the cursor line (never below the first frame); the device is only read.
void TForm1::PlayMark1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (!Playing()) {
    N1Click();
    return;
  }
  AddMarkAt(std::max<int64_t>(1, MillisecondsToFrame(device_.Position(), file_.Header.SampleRate)));
}

void TForm1::AddMarkAt(int64_t frame) {
  const Status added = marks_.Add(frame);
  if (added.failed()) {
    ShowMessage(added.message());
    return;
  }
  // Only the new marker is drawn; the rest of the ruler stays as it is.
  view::DrawMarkMarker(c_.Image4->Image(), frame, view_.ViewStart, view_.Zoom);
  c_.Image4->Changed();
  SyncMemos();
  PointImageDrow();
  CommitMarks();
}

// "マーク削除": every mark in view whose marker covers the line's column (several at a coarse zoom).
void TForm1::N6Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  const int lineX = cursor_.LineX;
  if (!view::MarkerAtColumn(c_.Image4->Image(), lineX)) {
    ShowMessage(FormatMessage(WindowMessageId::kNotMarkedHere));
    return;
  }
  const int64_t viewStart = view_.ViewStart;
  const int32_t zoom = view_.Zoom;
  marks_.DeleteWhere([&](int64_t mark) {
    if (mark < viewStart || mark > viewStart + int64_t{view::kLaneWidth} * zoom) return false;
    const int64_t x = view::ColumnOfFrame(mark, viewStart, zoom);
    return x >= lineX - 1 && x <= lineX + 1;
  });
  RedrawMarks();
}

// "マークポイトン全削除".
void TForm1::N2Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (Playing()) {
    ShowMessage(FormatMessage(WindowMessageId::kNoDeleteWhilePlaying));
    return;
  }
  marks_.DeleteAll();
  RedrawMarks();
}

// "先頭を残す": the check mark follows the setting; it toggles even without a document.
void TForm1::N8Click() {
  if (BusyRefused()) {
    m_.N8->setChecked(marks_.KeepHead());
    return;
  }
  marks_.SetKeepHead(!marks_.KeepHead());
  m_.N8->setChecked(marks_.KeepHead());
  if (DocumentOpen()) PointImageDrow();
  CommitMarks();
}

// "全マークポイントを記録": the marks ascending into the mark list file beside the open WAV file.
// Allowed while a file is written: the writer never changes the marks.
void TForm1::N12Click() {
  if (file_.WaveFileName.empty()) return;
  const Status written = WriteMarkListFile(file_.WaveFileName, marks_);
  if (written.failed()) ShowMessage(written.message());
}

// "記録した全マークポイントを読み込む": replaces the marks by the file's, all or nothing.
void TForm1::N13Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (file_.WaveFileName.empty()) return;
  const Status read = ReadMarkListFile(file_.WaveFileName, marks_);
  if (read.failed()) {
    ShowMessage(read.message());
    return;
  }
  RedrawMarks();
}

}  // namespace sonaveld
