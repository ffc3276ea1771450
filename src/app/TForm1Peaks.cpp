// The peak view of the main window ("ピーク表示"): each column shows the range from the smallest to
// the largest sample of the frames it covers. Wide views read a per-document summary that a
// worker thread builds; until it is there they show the one-frame-per-column drawing, and the
// lanes are drawn again as soon as it is built. The window thread never waits for the worker.
#include <QAction>
#include <QTimer>

#include "app/AppFont.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "io/ByteSource.h"
#include "peaks/ColumnPeaks.h"
#include "peaks/SummaryBuilder.h"
#include "view/LaneStack.h"
#include "view/PeakLanes.h"
#include "view/ViewImages.h"
#include "view/WaveLanes.h"

namespace sonaveld {

bool TForm1::PeakViewOn() const { return m_.PeakView1->isChecked(); }

// Switching the view redraws only the lanes, so playback and the cursor line go on.
void TForm1::PeakView1Click() {
  if (!DocumentOpen()) return;
  if (PeakViewOn()) {
    const bool failed = summary_ && summary_->Finished() && summary_->Ready() == nullptr;
    if (!summary_ || failed) StartSummary(file_.WaveFileName);
  } else {
    peakPoll_->stop();
  }
  RedrawLanes();
}

void TForm1::ResetSummary(const std::string& path) {
  peakPoll_->stop();
  summary_.reset();
  if (PeakViewOn()) StartSummary(path);
}

void TForm1::StartSummary(const std::string& path) {
  summary_.reset();  // a running build stops before the next starts
  summary_ = std::make_unique<peaks::SummaryBuilder>(peaks::SummaryBuilder::FileOpener(path), file_.Header);
}

void TForm1::DrawLanes(ByteSource& file) {
  const WaveHeader& h = file_.Header;
  QImage& image1 = c_.Image1->Image();
  QImage& image2 = c_.Image2->Image();
  const peaks::PeakSummary* summary = summary_ ? summary_->Ready() : nullptr;
  const int64_t columns = view::kLaneWidth - 1;
  view::DrawLoopResult drawn{};
  if (PeakViewOn() && (summary || !peaks::NeedsSummary(h, view_.ViewStart, view_.Zoom, columns))) {
    drawn = view::DrawPeakLanes(file, h, summary, view_.ViewStart, view_.ViewEnd, view_.Zoom, image1, image2);
  } else {
    drawn = view::DrawWaveLanes(file, h, view_.ViewStart, view_.ViewEnd, view_.Zoom, image1, image2);
    // The poll redraws once the build has ended with a summary. It is started whether or not the
    // build has ended meanwhile: a build that ends between the look at Ready() above and a look at
    // Finished() here would otherwise never be drawn.
    if (PeakViewOn() && summary_) peakPoll_->start();
  }
  view::DrawLaneLabels(image1, image2, h.Samples().channels, RulerLabelFont());
  view_.ReadBase = drawn.readBase;
  view_.Column = drawn.column;
}

void TForm1::RedrawLanes() {
  std::unique_ptr<FileSource> file = FileSource::Open(file_.WaveFileName);
  if (!file) return;  // the next full redraw says so
  RedrawScope scope(*this);
  DrawLanes(*file);
  file.reset();
  RefreshImages();
}

void TForm1::PeakPollTimer() {
  if (!summary_ || !PeakViewOn()) {
    peakPoll_->stop();
    return;
  }
  if (!summary_->Finished() || redrawing_) return;
  peakPoll_->stop();
  if (summary_->Ready() != nullptr && DocumentOpen()) RedrawLanes();
}

}  // namespace sonaveld
