#pragma once
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analysis/PauseFinder.h"
#include "app/Prompts.h"
#include "app/Form1Controls.h"
#include "app/Form1Menus.h"
#include "document/Document.h"
#include "marks/MarkHistory.h"
#include "marks/MarkStore.h"
#include "output/OutputHost.h"
#include "output/PieceList.h"
#include "playback/PlaybackDevice.h"

class QColor;
class QMouseEvent;
class QTimer;

namespace sonaveld {

namespace peaks {
class SummaryBuilder;
}

class ByteSource;
class PlaybackDevice;
class Prompts;
class RasterWidget;
class TForm2;
class ZoomBoxKeys;
class PieceListWindow;

// The main window Form1: the one open document with its view, cursor line, marks and creation
// flags, the controls and menus, and the commands behind them. All work runs in its event
// handlers on the window thread. The prompts and the playback device are injected and must
// outlive the window.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  TForm1(Prompts& prompts, PlaybackDevice& mediaPlayer1, QWidget* parent = nullptr);
  ~TForm1() override;

  // The normalizer window that kjoer1Click shows (not owned; may be null until set).
  void SetForm2(TForm2* form2) { form2_ = form2; }

  // Opens path as "開く" does after its dialog (start-up argument, a dropped file). Refused while
  // Busy is 1. path may be relative; the document keeps its absolute form.
  void OpenWaveFile(const QString& path);

  // Redraws the view from the scroll position (clears lanes and overlay, closes the playback
  // device, draws the lanes and the ruler). False when the file could not be opened.
  bool WaveDrow();
  // Draws the time ruler over the current view and the marks' bars.
  void TimeLineDrow();
  // Draws the cut map strip from the marks and the keep-head setting.
  void PointImageDrow();
  // Draws the red cursor line at LinePos's column of the current view (shared by scrolling and
  // zooming; skipped at scroll position 1 with zoom text "500" and LinePos 1).
  void DrawLineAtLinePos();

  // Ends a file creation: Busy back to 0 and, when the window was asked to close meanwhile, closes.
  void EndBusy();

  // Tuning of the output commands' copy (block size, idle interval, file sinks); the pause scan
  // takes its idle interval too. Tests use small blocks and no interval so that an abort or a
  // click lands between two blocks.
  void SetOutputOptions(const OutputOptions& options) { outputOptions_ = options; }
  // The status panel Panel1: caption and font colour.
  void SetPanel1(const QString& caption, const QColor& colour);
  // A notice about the sound output (MessageId::kNoAudioOutput when the machine has none); empty for
  // none. Panel 0 of the status bar shows it in front of the file information that each open
  // writes there, so that it stays whole and readable.
  void SetSoundNotice(const QString& text);
  // The band below the cut map on which Timer2Timer draws the progress arrow (window x 8..648,
  // y 40..49).
  const RasterWidget& ProgressBand() const { return *progressBand_; }

  // The document state and the controls, for the commands of the other window parts and tests.
  const FileFields& File() const { return file_; }
  const ViewFields& View() const { return view_; }
  CursorFields& Cursor() { return cursor_; }
  CreationFlags& Flags() { return flags_; }
  MarkStore& Marks() { return marks_; }
  const Form1Controls& Controls() const { return c_; }
  const Form1Menus& Menus() const { return m_; }
  // True while a document is open: the playback device holds a file name.
  bool DocumentOpen() const;

 signals:
  // The window has closed (close box or "終了"); the program ends.
  void Closed();
  // The marks, their names or the keep-head setting changed (a command, undo, redo), or a file
  // was opened.
  void MarksChanged();

 public slots:
  // The handlers, named after the control and the event that run them (the menu items and
  // controls are in Form1Menus.h and Form1Controls.h). Handlers that serve several items: the
  // main menu's N5 and the pop-up's N1 ("ライン位置でマーク追加") run N1Click; the main menu's N7
  // and the pop-up's N6 ("マーク削除") run N6Click; the pop-up's N14 ("再生") and Ctrl+left click
  // on the waveform run the play button's SpeedButton3Click; the pop-up's FromStart1 ("最初から
  // 再生", Home) runs SpeedButton1Click; PlayMark1 and the pop-up's PlayMark2 run PlayMark1Click;
  // Ctrl+right click runs SpeedButton4Click. Most refuse while a file is written (Busy) and do
  // nothing without a document.

  // File menu.
  void Open1Click();  // "開く" (open): a WAV file chosen in OpenDialog1 becomes the document
  // "つなげて開く…" (join and open): the WAV files chosen, in name order, joined into the file named
  // in SaveDialog1, which then becomes the document.
  void JoinOpen1Click();
  void N3Click();     // "カット編集ファイル作成保存" (save the cut-edited file): the selected ranges in one file
  void N10Click();    // "選択範囲を分割して保存" (save the selected ranges split): one numbered file each
  // "マーク位置で分割して保存（選択範囲と非選択範囲）" (save split at the marks, selected and unselected
  // ranges): the whole sample area cut at every mark into numbered files.
  void N9Click();
  void Exit1Click();  // "終了" (exit): closes the window and ends the program
  // Edit menu and pop-up menu.
  void N1Click();     // "ライン位置でマーク追加" (add a mark at the line): a mark at the cursor line's frame
  void N6Click();     // "マーク削除" (delete mark): the marks whose markers the cursor line stands on
  void N2Click();     // "マークポイトン全削除" (delete all marks)
  void N8Click();     // "先頭を残す" (keep the head): toggles whether the stretch before the first mark is kept
  void N12Click();    // "全マークポイントを記録" (record all marks): the mark list file beside the WAV file
  void N13Click();    // "記録した全マークポイントを読み込む" (read the recorded marks) from that file
  // The marks with names (in 全マークポイント保存・読込): the readers replace the marks all or nothing,
  // as N13Click does; the writers take the marks as they are.
  void ReadMarkers1Click();   // "ファイル内のマーカーを読み込む": the open WAV's own cue points
  void ReadLabels1Click();    // "ラベルファイルを読み込む…"
  void WriteLabels1Click();   // "ラベルファイルに書き出す…"
  void ReadCue1Click();       // "CUEシートを読み込む…"
  void WriteCue1Click();      // "CUEシートに書き出す…"
  // "マーカー付きで保存…" (File menu): a copy of the WAV with the marks as its cue points and labels.
  void MarkerCopy1Click();
  // "再生位置にマーク追加" (add a mark at the play position, key M): during playback a mark at the
  // frame being heard, playback going on; otherwise what N1Click does.
  void PlayMark1Click();
  // The editing aids (Edit menu, after the marking items).
  void Undo1Click();        // "元に戻す": the marks, names and keep-head setting before the last change
  void Redo1Click();        // "やり直し": the change undone last made again
  void WholeView1Click();   // "全体" (Ctrl+0): the zoom that shows the whole file in the 760 columns
  void PieceList1Click();   // "部分一覧…": shows the window listing the pieces
  // Tools menu.
  void kjoer1Click();  // "ノーマライズ" (normalize): shows the normalizer window
  // "無音部分にマーク…" (marks at the pauses…): the settings dialog, then the pause scan run like
  // an output (Busy, status panel, progress arrow, abort on Panel1) and the marks found added to
  // the marks set.
  void PauseMarks1Click();
  void PeakView1Click();  // "ピーク表示" (peak view): the lanes show each column's min/max, or one frame
  // An item of "再生チャンネル" (Edit menu): the channels that play from now on; a running playback
  // goes on from where it is with them.
  void PlayChannelsClick(ChannelPair channels);
  // Transport buttons and keys.
  void SpeedButton1Click();  // "最初" (start): plays from the beginning
  void SpeedButton2Click();  // "停止" (stop): stops playback
  void SpeedButton3Click();  // "再生" (play): plays from the cursor line
  void SpeedButton4Click();  // "Track再生位置" (track position): the cursor line to the position bar's time
  void PlayStop1Click();     // Space: "停止" while playing, else "再生"
  // Controls, timers and the pointer on the waveform.
  void ScrollBar1Change();   // the view scrolled: redraws from the new view start
  // The zoom box's text was taken: redraws at the new zoom, the line's frame kept in place. A
  // choice from the list, a wheel step or the program's change is taken at once; typed text when
  // the edit ends (Enter, the focus leaving the box, a choice from the list), once.
  void ComboBox1Change();
  void TrackBar1Change();    // the position bar moved by the user: plays from its position
  void Panel1DblClick();     // double-click on the status panel: aborts the file being written or the scan
  void Timer1Timer();        // every 80 ms: position bar, cursor line, time and status follow playback
  void Timer2Timer();        // every second: the progress arrow while a file is written
  // Left: place the cursor line; Ctrl+left: play; right: the pop-up menu; Ctrl+right: track position.
  void Image3MouseDown(QMouseEvent* event);
  void Image3MouseMove(QMouseEvent* event);  // gives the zoom box the focus, so the wheel zooms

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Marks a redraw as running; a scroll or zoom change that arrives meanwhile is run after it,
  // never inside it.
  class RedrawScope {
   public:
    explicit RedrawScope(TForm1& form);
    ~RedrawScope();
    RedrawScope(const RedrawScope&) = delete;
    RedrawScope& operator=(const RedrawScope&) = delete;

   private:
    TForm1& form_;
    bool outer_;
  };

  void FormCreate();
  // The output commands' opening sequence up to the save dialog (started in the open file's
  // folder); the chosen name or empty.
  std::string BeginOutput(bool numberedOutputs);
  // The output commands' options: the copy's tuning, the check mark of "フレーム単位で正確に切る" and,
  // with "マーク名をファイル名に使う" checked, the marks' names for the pieces.
  OutputOptions CutOptions() const;
  void ConnectHandlers();
  // The busy guard: true (after the message) when Busy is 1.
  bool BusyRefused();
  void ShowMessage(const std::string& text);

  // The open command after its dialog: steps from opening the chosen file to the time ruler.
  void OpenChosenFile(const QString& path);
  void ClearForOpen();
  void ShowFileInformation(const QString& path, const WaveHeader& h);
  // Panel 0 of the status bar: the sound notice, then the file information.
  void ShowStatusPanel0();
  // Hands path to the playback device to learn its play length (ms). On failure (after the
  // device's message) the device holds the previous document's name again.
  std::optional<int32_t> HandOverToDevice(const std::string& path);
  // The zoom an open takes: the box's text when it is a zoom, else the last zoom taken, which the
  // box then shows again. No message: a zoom text never stops an open.
  int32_t ZoomForOpen();
  // The view-bounds step and the drawing loop on an open file; sets ViewEnd, ReadBase, Column.
  // With followScroll, a position that the new scroll maximum pulled back moves the view too.
  void DrawView(ByteSource& file, bool followScroll);
  // ViewStart from the scroll position on the zoom grid, written back to the scroll bar.
  void SnapViewStartToScroll();
  // Program-side changes of the scroll bar that run no handler.
  void SetScrollPosition(int64_t position);
  void SetScrollMaximum(int64_t maximum);
  // The scroll bar's arrow step (Zoom x 100 frames) and page step (760 x Zoom frames).
  void SetScrollSteps();
  // The zoom box's text as last taken, as a zoom of 1..view::kMaxZoom; otherwise the box shows the
  // zoom in force again, the message tells why (not a whole number, below 1, too large) and false
  // is returned.
  bool ZoomFromBox(int32_t& zoom);
  // The zoom box's text changed (currentTextChanged): typed text waits for the end of the edit.
  void ZoomBoxTextChanged();
  // The edit of the zoom box ended: typed text not yet taken is taken now.
  void ZoomEditEnded();
  // Takes the box's text (the text the ruler and the cursor line go by) and runs ComboBox1Change.
  void TakeZoomText();
  // Shows zoom in the box without running the handler; it counts as taken.
  void ShowZoomText(int32_t zoom);
  void RunPendingChanges();
  // "再生チャンネル" for a file of `channels` channels: its items made anew, 1+2 checked and handed
  // to the device; enabled for 3 or more channels only.
  void ResetPlayChannels(int channels);
  // The peak view: its state, the lanes by it, and the summary of the open document.
  bool PeakViewOn() const;
  // The lanes of the current view on an open file (ReadBase and Column too): the peak view when
  // it is on and can be drawn now, else the one-frame-per-column drawing.
  void DrawLanes(ByteSource& file);
  // Draws only the lanes again (the overlay, the ruler and the device are left alone).
  void RedrawLanes();
  // A new document: the old summary is dropped (its build stopped) and, in peak view, the new
  // one's build started.
  void ResetSummary(const std::string& path);
  void StartSummary(const std::string& path);
  // Every 30 ms while a view waits for its summary: redraws the lanes once it is built.
  void PeakPollTimer();
  void RefreshImages();
  void SyncMemos();

  // Pointer actions on the overlay and the two transport buttons that share them.
  void PlaceLineAt(int x);
  void PlayFromLine();
  void ShowPopupMenu();
  void JumpToTrackBar();
  // Opens the device, moves it to the cursor line; false (after the device's message) on failure.
  bool OpenDeviceAtLine();
  bool Playing();
  // The ruler with its markers and the cut map after the marks changed; the change is committed
  // to the history.
  void RedrawMarks();
  // The state of the marks after a command becomes an undo step when it changed; the undo and redo
  // items follow, and so do the watchers of MarksChanged.
  void CommitMarks();
  // After an undo or redo: the keep-head check mark, the lists, the ruler and the cut map.
  void ShowRestoredMarks();
  // The zoom box's "全体": the zoom for the whole file (1 without a document).
  int32_t WholeFileZoom() const;
  // The lanes, the ruler and the cut map from the scroll position, the playback device left alone.
  bool DrawFromScroll();
  // With "再生位置を追う" on: the view pages forward to the play position once it passed the right
  // edge.
  void PageToPlayPosition();
  // Dragging a mark's marker on the ruler Image4 (left button): the press takes the marker under
  // the pointer, the moves show the line, the release sets the mark there (refused where adding
  // would be), Escape puts it back. The hover shows the resize cursor and the mark's tooltip.
  bool RulerEvent(QEvent* event);
  void RulerPress(QMouseEvent* event);
  void RulerMove(QMouseEvent* event);
  void RulerRelease(QMouseEvent* event);
  void CancelMarkDrag();
  // The mark whose marker covers ruler column x, or 0.
  int64_t MarkAtRulerColumn(int x) const;
  // Moves the mark at from to frame to, its name with it; the store's refusal in a message.
  void MoveMark(int64_t from, int64_t to);
  // The list of pieces: filled anew from the marks; a row's piece shown (line and view at its
  // start), played to its end, renamed (one undo step), and the checked ones saved as the split
  // at the marks writes them.
  std::vector<Piece> CurrentPieces() const;
  void RefreshPieceList();
  void ShowPieceStart(int number);
  void PlayPiece(int number);
  void RenamePiece(int number, const QString& name);
  void SaveCheckedPieces();
  // Stops the playback of one piece at its end: at the refresh tick that finds it past, or, once
  // the end is near, by a single precise timer.
  void StopAtPieceEnd();
  // The refusal of marking during playback: true (after the message) while playing.
  bool MarkRefusedWhilePlaying();
  // Adds a mark at frame and shows it (its marker, the lists, the cut map); the store's refusal
  // is shown instead.
  void AddMarkAt(int64_t frame);
  // The pause scan of the open file as a running output: Busy and StatusHeld set, the panel's
  // scanning text, CopyPos following the scan for the progress arrow, events processed, stopped
  // by AbortRequested. The flags are cleared on every way out.
  PauseResult ScanForPauses(const PauseSettings& settings);
  // Adds the marks found one by one (duplicates skipped), or none when the total would pass 255;
  // the outcome on the status bar or in a message.
  void AddPauseMarks(const std::vector<int64_t>& found);
  // A short notice on the status bar (for some seconds, over the file information).
  void ShowStatusNotice(const std::string& text);
  // The folder of the open WAV file, where the dialogs of the mark files start.
  QString WaveFolder() const;
  // The marks and names a reader gave in place of the marks, redrawn; its refusal, its warnings,
  // or that it found none (the marks then stay) in a message.
  void ReplaceMarksFrom(const Result<MarkSet>& read);
  // The save dialog of a mark file writer after its guards: the path, or empty.
  QString MarkFileToWrite(MarkFileKind kind);
  // On open: the status bar notes how many markers the file (open as file, probed as header) has.
  void NoteEmbeddedMarkers(ByteSource& file, const WaveHeader& header, const std::string& path);
  // Opens the device; false (after the device's message) on failure.
  bool OpenDevice();
  // The refresh tick's cursor line: LinePos, LineX and the overlay from a play position (ms).
  void FollowPlayPosition(int32_t ms);
  // The time display (hours, minutes, seconds) of a bar position in ms.
  void ShowPlayTime(int32_t ms);
  // The frame of the cursor line in milliseconds, as the device takes it.
  int32_t LineMilliseconds() const;
  // Runs an output command after its guards and dialog: the engine writes, the window stays live.
  void RunOutput(const std::function<OutputResult(OutputHost&)>& command);

  Prompts& prompts_;
  PlaybackDevice& device_;  // MediaPlayer1
  TForm2* form2_ = nullptr;
  Form1Controls c_;
  Form1Menus m_;

  FileFields file_;
  ViewFields view_;
  CursorFields cursor_;
  CreationFlags flags_;
  MarkStore marks_;
  MarkHistory history_;
  int64_t draggedMark_ = 0;  // the mark being dragged on the ruler, 0 when none
  // Bytes the running output's progress arrow counts against (a join's sources together); 0: the
  // open document's size, as for every cut of it.
  int64_t progressWhole_ = 0;
  int64_t dragLinePos_ = 0;  // the cursor line's frame when the drag began, given back by Escape
  int32_t dragLineX_ = 0;
  PieceListWindow* pieceList_ = nullptr;  // created on first use, owned by this window
  int32_t pieceEndMs_ = 0;                // the end of the piece being played alone (ms), 0 when none
  QTimer* pieceStop_ = nullptr;
  OutputOptions outputOptions_;
  RasterWidget* progressBand_ = nullptr;
  QString soundNotice_;
  QString fileInformation_;  // the joined file information of the last open
  QString markersNotice_;    // the status bar's note of the open file's markers, "" when none

  QString openFolder_;  // folder of the last file chosen to open; OpenDialog1 starts there
  std::unique_ptr<peaks::SummaryBuilder> summary_;  // of the open document; null until peak view asks
  QTimer* peakPoll_ = nullptr;
  PauseSettings pauseSettings_;  // the last settings chosen in the pause dialog
  ZoomBoxKeys* zoomKeys_ = nullptr;  // owned by the zoom box
  QString takenZoomText_;     // the zoom box's text when it was last taken
  bool zoomTyped_ = false;    // the box holds typed text not yet taken
  int32_t lastZoom_ = 1000;   // the zoom of the last taken text that was one (the box's start text)

  bool redrawing_ = false;
  bool scrollPending_ = false;
  bool zoomPending_ = false;
  bool closePending_ = false;
};

}  // namespace sonaveld
