// The list of pieces of the main window: "部分一覧…" and what its rows and button do.
#include <QAction>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "app/PieceListWindow.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "output/OutputCommands.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/ViewMath.h"

namespace sonaveld {
namespace {

constexpr int kTickMs = 80;  // the refresh tick Timer1

}  // namespace

std::vector<Piece> TForm1::CurrentPieces() const {
  if (!DocumentOpen()) return {};
  return ListPieces(file_.Header, marks_.Sorted(), marks_.KeepHead(),
                    PieceNamesOf(marks_.Named(), marks_.PieceZeroName()));
}

void TForm1::PieceList1Click() {
  if (pieceList_ == nullptr) {
    pieceList_ = new PieceListWindow(this);
    connect(this, &TForm1::MarksChanged, this, &TForm1::RefreshPieceList);
    connect(pieceList_, &PieceListWindow::PieceChosen, this, &TForm1::ShowPieceStart);
    connect(pieceList_, &PieceListWindow::PiecePlayed, this, &TForm1::PlayPiece);
    connect(pieceList_, &PieceListWindow::NameEdited, this, &TForm1::RenamePiece);
    connect(pieceList_, &PieceListWindow::SaveChecked, this, &TForm1::SaveCheckedPieces);
  }
  RefreshPieceList();
  pieceList_->show();
  pieceList_->raise();
  pieceList_->activateWindow();
}

void TForm1::RefreshPieceList() {
  if (pieceList_ != nullptr) pieceList_->ShowPieces(CurrentPieces(), std::max(1, file_.Header.SampleRate));
}

// The view starts at the piece (the scroll bar holds it within the file) and the line stands on
// its first frame; playback, if running, goes on. Nothing moves while a file is written.
void TForm1::ShowPieceStart(int number) {
  const std::vector<Piece> pieces = CurrentPieces();
  if (flags_.Busy || number < 0 || number >= static_cast<int>(pieces.size())) return;
  cursor_.LinePos = pieces[static_cast<size_t>(number)].start;
  SetScrollPosition(cursor_.LinePos);
  if (!DrawFromScroll()) return;
  cursor_.LineX = static_cast<int32_t>(view::ColumnOfFrame(cursor_.LinePos, view_.ViewStart, view_.Zoom));
  view::ClearOverlay(c_.Image3->Image());
  DrawLineAtLinePos();
  c_.Image3->Changed();
}

void TForm1::PlayPiece(int number) {
  if (BusyRefused() || !DocumentOpen()) return;
  const std::vector<Piece> pieces = CurrentPieces();
  if (number < 0 || number >= static_cast<int>(pieces.size())) return;
  const Piece& piece = pieces[static_cast<size_t>(number)];
  ShowPieceStart(number);
  device_.Close();
  if (!OpenDeviceAtLine()) return;
  const int64_t endMs = FrameToMilliseconds(piece.start + piece.length, file_.Header.SampleRate);
  pieceEndMs_ = static_cast<int32_t>(std::clamp<int64_t>(endMs, 1, std::numeric_limits<int32_t>::max()));
  device_.Play();
}

void TForm1::StopAtPieceEnd() {
  if (pieceEndMs_ == 0) return;
  if (!Playing()) {
    pieceEndMs_ = 0;
    return;
  }
  const int32_t position = device_.Position();
  if (position < pieceEndMs_) {
    const int32_t left = pieceEndMs_ - position;
    if (left < 2 * kTickMs && !pieceStop_->isActive()) pieceStop_->start(left);
    return;
  }
  device_.Pause();
  device_.SetPosition(pieceEndMs_);
  pieceEndMs_ = 0;
}

// The piece's number is its row; piece 0 carries the name of the stretch before the first mark.
void TForm1::RenamePiece(int number, const QString& name) {
  const std::vector<Piece> pieces = CurrentPieces();
  if (number < 0 || number >= static_cast<int>(pieces.size()) || BusyRefused()) {
    RefreshPieceList();
    return;
  }
  if (number == 0) {
    marks_.SetPieceZeroName(name.toStdString());
  } else {
    marks_.SetName(pieces[static_cast<size_t>(number)].start, name.toStdString());
  }
  RedrawMarks();
}

// The opening sequence of the split commands, then the chosen pieces under their numbers.
void TForm1::SaveCheckedPieces() {
  const std::vector<bool> chosen = pieceList_->Checked();
  if (!flags_.Busy && DocumentOpen() && std::find(chosen.begin(), chosen.end(), true) == chosen.end()) {
    ShowMessage(FormatMessage(WindowMessageId::kNoPieceChecked));
    return;
  }
  const std::string base = BeginOutput(true);
  if (base.empty()) return;
  const std::vector<int64_t> marks = marks_.Sorted();
  RunOutput([&](OutputHost& host) {
    return SplitChosenPieces(file_, marks, chosen, base, flags_, host, CutOptions());
  });
}

}  // namespace sonaveld
