// The marks with names in other files: the WAV's own markers, label files and cue sheets read into
// the marks and written from them, the copy of the WAV with the marks as its markers, and the note
// on open that a file carries markers.
#include <QFileInfo>
#include <QStatusBar>
#include <cstdio>

#include "app/Prompts.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "marks/CueSheet.h"
#include "marks/EmbeddedMarkers.h"
#include "marks/LabelFile.h"
#include "marks/MarkFiles.h"
#include "output/MarkerCopy.h"

namespace sonaveld {

QString TForm1::WaveFolder() const { return QFileInfo(QString::fromStdString(file_.WaveFileName)).absolutePath(); }

void TForm1::ReplaceMarksFrom(const Result<MarkSet>& read) {
  if (!read.ok()) {
    ShowMessage(read.status.message());
    return;
  }
  for (const std::string& warning : read.value.warnings) ShowMessage(warning);
  // Nothing to read leaves the marks the user has.
  if (read.value.marks.empty() && read.value.piece0Name.empty()) {
    ShowMessage(FormatMessage(WindowMessageId::kNoMarksToRead));
    return;
  }
  marks_.ReplaceAll(read.value);
  RedrawMarks();
}

// "ファイル内のマーカーを読み込む": the open file's cue points with their labels.
void TForm1::ReadMarkers1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  ReplaceMarksFrom(ReadEmbeddedMarkersFile(file_.WaveFileName));
}

// "ラベルファイルを読み込む…".
void TForm1::ReadLabels1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  const QString path = prompts_.OpenMarkFileDialog(MarkFileKind::kLabels, WaveFolder());
  if (path.isEmpty()) return;
  ReplaceMarksFrom(ReadLabelFile(path.toStdString(), file_.Header.SampleRate));
}

// "CUEシートを読み込む…": a sheet naming another WAV is read all the same, after its warning.
void TForm1::ReadCue1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  const QString path = prompts_.OpenMarkFileDialog(MarkFileKind::kCueSheet, WaveFolder());
  if (path.isEmpty()) return;
  ReplaceMarksFrom(ReadCueSheetFile(path.toStdString(), file_.Header.SampleRate, file_.WaveFileName));
}

// The writers are allowed while a file is written, as "全マークポイントを記録" is: they only read
// the marks. The path chosen, or empty when there is nothing to write or the dialog was cancelled.
QString TForm1::MarkFileToWrite(MarkFileKind kind) {
  if (!DocumentOpen()) return {};
  if (marks_.Count() == 0) {
    ShowMessage(FormatMessage(MessageId::kNoMarkPoints));
    return {};
  }
  return prompts_.SaveMarkFileDialog(kind, WaveFolder());
}

// "ラベルファイルに書き出す…": one point label per mark.
void TForm1::WriteLabels1Click() {
  const QString path = MarkFileToWrite(MarkFileKind::kLabels);
  if (path.isEmpty()) return;
  const Status written = WriteTextFile(path.toStdString(), LabelFileText(marks_.Named(), file_.Header.SampleRate));
  if (written.failed()) ShowMessage(written.message());
}

// "CUEシートに書き出す…": the sheet names the WAV by its file name alone; the status bar then says
// how far the 75ths of a second moved the marks at most.
void TForm1::WriteCue1Click() {
  const QString path = MarkFileToWrite(MarkFileKind::kCueSheet);
  if (path.isEmpty()) return;
  const int32_t rate = file_.Header.SampleRate;
  const std::string waveName = QFileInfo(QString::fromStdString(file_.WaveFileName)).fileName().toStdString();
  const CueSheetText sheet = BuildCueSheet(marks_.Named(), rate, waveName, marks_.PieceZeroName());
  const Status written = WriteTextFile(path.toStdString(), sheet.text);
  if (written.failed()) {
    ShowMessage(written.message());
    return;
  }
  // As the command line tells it: milliseconds to one decimal, nothing when no mark moved.
  if (sheet.largestShift == 0) return;
  char ms[32];
  std::snprintf(ms, sizeof ms, "%.1f", static_cast<double>(sheet.largestShift) * 1000.0 / rate);
  ShowStatusNotice(FormatMessage(MessageId::kCueRounding, std::to_string(sheet.largestShift), ms));
}

// "マーカー付きで保存…": the opening sequence of the output commands (guards, SaveDialog1), then the
// copy through the same run, status panel and progress as they have.
void TForm1::MarkerCopy1Click() {
  const std::string path = BeginOutput(false);
  if (path.empty()) return;
  const std::vector<NamedMark> marks = marks_.Named();
  RunOutput([&](OutputHost& host) { return WriteMarkerCopy(file_, marks, path, flags_, host, outputOptions_); });
}

void TForm1::NoteEmbeddedMarkers(ByteSource& file, const WaveHeader& header, const std::string& path) {
  // A file whose markers cannot be read opens all the same; they are not mentioned.
  // The note of the file before goes with it; any other notice stays its time.
  if (!markersNotice_.isEmpty() && c_.StatusBar1->currentMessage() == markersNotice_) c_.StatusBar1->clearMessage();
  markersNotice_.clear();
  const Result<MarkSet> markers = ReadEmbeddedMarkers(file, header, path);
  if (!markers.ok() || markers.value.marks.empty()) return;
  const std::string notice = FormatMessage(WindowMessageId::kMarkersInFile, std::to_string(markers.value.marks.size()));
  markersNotice_ = QString::fromStdString(notice);
  ShowStatusNotice(notice);
}

}  // namespace sonaveld
