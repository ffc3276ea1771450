// The open command "開く" (Open1Click) and its window effects.
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>

#include "app/Prompts.h"
#include "app/RasterWidget.h"
#include "app/TForm1.h"
#include "io/ByteSource.h"
#include "playback/PlaybackDevice.h"
#include "view/CursorOverlay.h"
#include "view/ViewImages.h"

namespace sonaveld {

// "開く": closes the playback device, asks for a file and opens it. Refused while a file is being
// written (it would change the document under the writer). Cancelling changes nothing else:
// the marks stay as they were. A zoom typed and not yet taken is taken first, before the dialog.
void TForm1::Open1Click() {
  if (BusyRefused()) return;
  device_.Close();
  ZoomEditEnded();
  const QString path = prompts_.OpenDialog1(openFolder_);
  if (path.isEmpty()) return;
  OpenChosenFile(path);
}

void TForm1::OpenWaveFile(const QString& path) {
  if (BusyRefused()) return;
  device_.Close();
  ZoomEditEnded();
  OpenChosenFile(QFileInfo(path).absoluteFilePath());
}

// The file stays open from the header reads to the end of the first drawing and is closed on
// every way out (the FileSource's destructor). Everything that can refuse the file (opening it,
// the probe, the playback device) comes before the first change: a refused file leaves the
// document, its marks, the view, the status bar and the device as they were.
void TForm1::OpenChosenFile(const QString& path) {
  openFolder_ = QFileInfo(path).absolutePath();
  const std::string name = path.toStdString();
  std::unique_ptr<FileSource> file = FileSource::Open(name);
  if (!file) {
    ShowMessage(FormatMessage(MessageId::kCannotOpen, name));
    return;
  }
  const ProbeResult probe = ProbeWave(*file, name);
  if (probe.status.failed()) {
    ShowMessage(probe.status.message());
    return;
  }
  const std::optional<int32_t> playLength = HandOverToDevice(name);
  if (!playLength) return;
  ResetPlayChannels(probe.header.Samples().channels);

  const int32_t zoom = ZoomForOpen();
  marks_.Reset();
  history_.Reset(marks_);  // the steps of the file before cannot be undone on this one
  CommitMarks();
  SyncMemos();
  cursor_.LinePos = 1;
  ClearForOpen();
  ShowFileInformation(path, probe.header);
  file_.Header = probe.header;
  ResetSummary(name);
  view_.Zoom = zoom;
  SetScrollSteps();  // the first arrow or trough click already moves by whole columns
  view_.ViewStart = 1;
  view_.ViewWidth = view::kLaneWidth;
  {
    RedrawScope scope(*this);
    DrawView(*file, false);
  }
  NoteEmbeddedMarkers(*file, probe.header, name);
  file.reset();
  RefreshImages();

  file_.WaveFileName = name;
  file_.PlayLength = *playLength;
  {
    // The bar's new range is the program's own change, not a user's move: it starts no playback.
    const QSignalBlocker blocker(c_.TrackBar1);
    c_.TrackBar1->setMaximum(file_.PlayLength);
  }
  if (c_.ScrollBar1->value() != 1) c_.ScrollBar1->setValue(1);  // runs ScrollBar1Change
  {
    // Back to 0 without running TrackBar1Change: opening a file never starts playback.
    const QSignalBlocker blocker(c_.TrackBar1);
    c_.TrackBar1->setValue(0);
  }
  TimeLineDrow();
}

void TForm1::ClearForOpen() {
  c_.Image1->Image().fill(Qt::white);
  c_.Image2->Image().fill(Qt::white);
  view::ClearOverlay(c_.Image3->Image());
  c_.Image5->Image().fill(Qt::white);
  RefreshImages();
  c_.Image5->Changed();
  c_.Label5->setVisible(true);
  c_.Label6->setVisible(true);
  c_.Label7->setVisible(true);
}

void TForm1::ShowFileInformation(const QString& path, const WaveHeader& h) {
  const bool mono = h.Channels == 1;
  const bool stereo = h.Channels == 2;
  c_.Label5->setText(mono     ? QStringLiteral("モノラル")
                     : stereo ? QStringLiteral("ステレオ")
                              : QStringLiteral("%1チャンネル").arg(h.Channels));
  // The L and R lane labels belong to stereo files only.
  c_.Label1->setVisible(stereo);
  c_.Label2->setVisible(stereo);
  const QString floating = h.Samples().encoding == SampleEncoding::kFloat32 ? QStringLiteral("(浮動小数点)") : QString();
  c_.Label6->setText(QStringLiteral("量子化ビット数;%1").arg(h.BitsPerSample) + floating);
  c_.Label7->setText(QStringLiteral("周波数[Hz];%1").arg(h.SampleRate));
  for (QLabel* label : {c_.Label5, c_.Label6, c_.Label7}) label->adjustSize();
  const QString gap = QStringLiteral("  ");
  fileInformation_ = QFileInfo(path).fileName() + gap + c_.Label6->text() + gap +
                     c_.Label7->text() + gap + c_.Label5->text();
  ShowStatusPanel0();
}

void TForm1::SetSoundNotice(const QString& text) {
  soundNotice_ = text;
  ShowStatusPanel0();
}

// The notice goes first: a long file name then cuts off the end of the file information, never
// the notice that tells why nothing is heard.
void TForm1::ShowStatusPanel0() {
  QStringList parts;
  for (const QString& part : {soundNotice_, fileInformation_}) {
    if (!part.isEmpty()) parts << part;
  }
  c_.StatusPanel0->setText(parts.join(QStringLiteral("  ")));
}

std::optional<int32_t> TForm1::HandOverToDevice(const std::string& path) {
  const std::string previous = device_.FileName();
  device_.SetFileName(path);
  const Status opened = device_.Open();
  if (opened.failed()) {
    device_.SetFileName(previous);
    ShowMessage(opened.message());
    return std::nullopt;
  }
  const int32_t length = device_.Length();
  device_.Close();
  return length;
}

}  // namespace sonaveld
