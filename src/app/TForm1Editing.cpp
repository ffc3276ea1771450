// The editing aids of the main window: undo and redo of the mark changes, the zoom for the whole
// file, and the view following the play position.
#include <QAction>
#include <QScrollBar>
#include <algorithm>

#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "io/ByteSource.h"
#include "view/CursorOverlay.h"
#include "view/ViewImages.h"
#include "view/ViewMath.h"

namespace sonaveld {

void TForm1::CommitMarks() {
  history_.Commit(marks_);
  m_.Undo1->setEnabled(history_.CanUndo());
  m_.Redo1->setEnabled(history_.CanRedo());
  emit MarksChanged();
}

void TForm1::ShowRestoredMarks() {
  m_.N8->setChecked(marks_.KeepHead());
  if (DocumentOpen()) {
    RedrawMarks();
  } else {
    SyncMemos();
    CommitMarks();
  }
}

// Both are refused while a file is written, like the mark commands; the writer reads the marks.
void TForm1::Undo1Click() {
  if (BusyRefused()) return;
  if (history_.Undo(marks_)) ShowRestoredMarks();
}

void TForm1::Redo1Click() {
  if (BusyRefused()) return;
  if (history_.Redo(marks_)) ShowRestoredMarks();
}

int32_t TForm1::WholeFileZoom() const {
  const int64_t frames = file_.Header.Frames();
  const int64_t zoom = (frames + view::kLaneWidth - 1) / view::kLaneWidth;
  return static_cast<int32_t>(std::clamp<int64_t>(zoom, 1, view::kMaxZoom));
}

// The box shows the number, which is then taken as a zoom typed into it would be.
void TForm1::WholeView1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  ShowZoomText(WholeFileZoom());
  ComboBox1Change();
}

bool TForm1::DrawFromScroll() {
  RedrawScope scope(*this);
  std::unique_ptr<FileSource> file = FileSource::Open(file_.WaveFileName);
  if (!file) return false;
  SnapViewStartToScroll();
  DrawView(*file, true);
  file.reset();
  RefreshImages();
  TimeLineDrow();
  return true;
}

// The new view starts at the line's frame on the zoom grid (the scroll bar holds it within the
// file); playback goes on undisturbed.
void TForm1::PageToPlayPosition() {
  if (!m_.FollowPlay1->isChecked() || redrawing_) return;
  if (cursor_.LineX < view::kLaneWidth) return;
  SetScrollPosition(cursor_.LinePos);
  if (!DrawFromScroll()) return;
  const int64_t column = view::ColumnOfFrame(cursor_.LinePos, view_.ViewStart, view_.Zoom);
  cursor_.LineX = static_cast<int32_t>(std::clamp<int64_t>(column, -2, view::kLaneWidth + 2));
  view::ClearOverlay(c_.Image3->Image());
  view::DrawCursorLine(c_.Image3->Image(), cursor_.LineX);
  c_.Image3->Changed();
}

}  // namespace sonaveld
