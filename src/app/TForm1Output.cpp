// The cut-editing commands of the main window (N3Click, N10Click, N9Click) on the output engine,
// the status panel's texts and Timer2Timer's progress arrow.
#include <QColor>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>

#include "app/Form1OutputHost.h"
#include "app/ProgressArrow.h"
#include "app/Prompts.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "output/OutputCommands.h"
#include "playback/PlaybackDevice.h"

namespace sonaveld {
namespace {

const QColor kCreatingColour(255, 0, 0);
const QColor kFinishedColour(0, 128, 0);

}  // namespace

void TForm1::SetPanel1(const QString& caption, const QColor& colour) {
  QPalette palette = c_.Panel1->palette();
  if (c_.Panel1->text() == caption && palette.color(QPalette::WindowText) == colour) return;
  palette.setColor(QPalette::WindowText, colour);
  c_.Panel1->setPalette(palette);
  c_.Panel1->setText(caption);
}

// The opening sequence up to the dialog: the guards, the playback device closed (not undone when
// the dialog is cancelled), the save dialog. The chosen name, or empty when the command stops here.
std::string TForm1::BeginOutput(bool numberedOutputs) {
  const Status begin = CheckBeginOutput(flags_, DocumentOpen(), marks_.Count());
  if (begin.failed()) ShowMessage(begin.message());
  if (!begin.ok()) return {};
  device_.Close();
  const QString folder = QFileInfo(QString::fromStdString(file_.WaveFileName)).absolutePath();
  return (numberedOutputs ? prompts_.SaveDialog2(folder) : prompts_.SaveDialog1(folder)).toStdString();
}

OutputOptions TForm1::CutOptions() const {
  OutputOptions options = outputOptions_;
  options.exactCuts = m_.ExactCut1->isChecked();
  if (m_.UseNames1->isChecked()) options.names = PieceNamesOf(marks_.Named(), marks_.PieceZeroName());
  return options;
}

// "カット編集ファイル作成保存": the selected ranges back to back in one file named in SaveDialog1.
void TForm1::N3Click() {
  const std::string path = BeginOutput(false);
  if (path.empty()) return;
  const std::vector<int64_t> marks = marks_.Sorted();
  const bool keepHead = marks_.KeepHead();
  RunOutput([&](OutputHost& host) {
    return WriteCutEditedFile(file_, marks, keepHead, path, flags_, host, CutOptions());
  });
}

// "選択範囲を分割して保存": each selected range in a numbered file from the name in SaveDialog2.
void TForm1::N10Click() {
  const std::string base = BeginOutput(true);
  if (base.empty()) return;
  const std::vector<int64_t> marks = marks_.Sorted();
  const bool keepHead = marks_.KeepHead();
  RunOutput([&](OutputHost& host) {
    return SplitSelectedRanges(file_, marks, keepHead, base, flags_, host, CutOptions());
  });
}

// "マーク位置で分割して保存（選択範囲と非選択範囲）": the whole sample area in numbered pieces cut at
// the marks; keep head plays no part.
void TForm1::N9Click() {
  const std::string base = BeginOutput(true);
  if (base.empty()) return;
  const std::vector<int64_t> marks = marks_.Sorted();
  RunOutput([&](OutputHost& host) { return SplitAtMarks(file_, marks, base, flags_, host, CutOptions()); });
}

// The engine sets Busy, StatusHeld and CopyPos and clears Busy and AbortRequested on every way
// out; a failure's message is shown here, the finished text only after a complete run, the
// stopped text after a stop, with the file it cut short and its share written in the status bar.
// A close asked for while the copy ran is carried out at the end.
void TForm1::RunOutput(const std::function<OutputResult(OutputHost&)>& command) {
  Form1OutputHost host(prompts_, [this](OutputHost::Panel panel) {
    switch (panel) {
      case OutputHost::Panel::kCreating: SetPanel1(QStringLiteral("ファイル作成中"), kCreatingColour); break;
      case OutputHost::Panel::kFinished: SetPanel1(QStringLiteral("ファイル作成終了"), kFinishedColour); break;
      // Red as while writing: the file is not what was asked for.
      case OutputHost::Panel::kStopped: SetPanel1(QStringLiteral("ファイル作成中止"), kCreatingColour); break;
    }
  });
  const OutputResult result = command(host);
  if (result.status.failed()) ShowMessage(result.status.message());
  if (result.partial) {
    const QString name = QFileInfo(QString::fromStdString(result.partial->path)).fileName();
    ShowStatusNotice(result.partial->Message(name.toStdString()));
  }
  EndBusy();
}

// Every second: erases the band below the cut map and, while a file is written, draws the arrow
// at the share of the source that the copy has passed.
void TForm1::Timer2Timer() {
  QImage& band = progressBand_->Image();
  EraseProgressBand(band, c_.Panel1->parentWidget()->palette().color(QPalette::Button).rgb());
  const int64_t whole = progressWhole_ > 0 ? progressWhole_ : file_.Header.FileSize;
  if (flags_.Busy) DrawProgressArrow(band, ProgressArrowX(flags_.CopyPos, whole));
  progressBand_->Changed();
}

}  // namespace sonaveld
