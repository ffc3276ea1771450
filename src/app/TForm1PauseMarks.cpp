// "無音部分にマーク…": the settings dialog, the pause scan run like an output command, and the
// marks found merged into the marks already set.
#include <QColor>
#include <QCoreApplication>
#include <QStatusBar>
#include <algorithm>

#include "app/MarkingTexts.h"
#include "app/Prompts.h"
#include "app/TForm1.h"
#include "document/ByteSource.h"

namespace sonaveld {
namespace {

namespace t = marking_texts;

const QColor kScanningColour(255, 0, 0);
constexpr int kStatusNoticeMs = 10000;

}  // namespace

// The refusals come before the dialog; the dialog is modal, so nothing can start meanwhile.
void TForm1::PauseMarks1Click() {
  if (BusyRefused() || !DocumentOpen()) return;
  if (MarkRefusedWhilePlaying()) return;
  const std::optional<PauseSettings> chosen = prompts_.PauseSettingsPrompt(pauseSettings_);
  if (!chosen) return;
  pauseSettings_ = *chosen;
  const PauseResult found = ScanForPauses(*chosen);
  const bool closing = closePending_;
  EndBusy();  // closes the window when that was asked for during the scan
  if (closing) return;
  if (found.status.failed()) ShowMessage(found.status.message());
  if (found.status.silent()) ShowStatusNotice(QString::fromUtf8(t::kScanStopped));
  if (found.status.ok()) AddPauseMarks(found.marks);
}

PauseResult TForm1::ScanForPauses(const PauseSettings& settings) {
  std::unique_ptr<FileSource> file = FileSource::Open(file_.WaveFileName);
  if (!file) {
    PauseResult refused;
    refused.status = Status::Fail(FormatMessage(kCannotOpenMessage, file_.WaveFileName));
    return refused;
  }
  flags_.Busy = 1;
  flags_.StatusHeld = 1;  // the refresh tick leaves the panel to the scan
  flags_.AbortRequested = 0;
  flags_.CopyPos = file_.Header.DataOffset;
  SetPanel1(QString::fromUtf8(t::kScanningPanel), kScanningColour);
  PauseHooks hooks;
  hooks.stopTest = [this] { return flags_.AbortRequested == 1; };
  hooks.progress = [this](int64_t done, int64_t) { flags_.CopyPos = file_.Header.DataOffset + done; };
  hooks.idle = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
  hooks.idleInterval = outputOptions_.idleInterval;
  PauseResult found = FindPauses(*file, file_.Header, settings, hooks, file_.WaveFileName);
  // The panel goes back to the playback texts at the next refresh tick.
  flags_.StatusHeld = 0;
  flags_.AbortRequested = 0;
  return found;
}

void TForm1::AddPauseMarks(const std::vector<int64_t>& found) {
  if (found.empty()) {
    ShowStatusNotice(QString::fromUtf8(t::kNoPauseFound));
    return;
  }
  const auto fresh = std::count_if(found.begin(), found.end(), [&](int64_t m) { return !marks_.Contains(m); });
  if (marks_.Count() + fresh > MarkStore::kMaxMarks) {
    prompts_.Message(QString::fromUtf8(t::kTooManyPauses).arg(found.size()));
    return;
  }
  int added = 0;
  for (const int64_t mark : found) {
    if (marks_.Add(mark).ok()) ++added;  // a mark already set is skipped
  }
  RedrawMarks();
  ShowStatusNotice(QString::fromUtf8(t::kPausesAdded).arg(added));
}

void TForm1::ShowStatusNotice(const QString& text) { c_.StatusBar1->showMessage(text, kStatusNoticeMs); }

}  // namespace sonaveld
