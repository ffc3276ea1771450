// "無音部分にマーク…": the settings dialog, the pause scan run like an output command, and the
// marks found merged into the marks already set.
#include <QColor>
#include <QCoreApplication>
#include <QStatusBar>
#include <algorithm>

#include "app/MarkingTexts.h"
#include "app/Prompts.h"
#include "app/TForm1.h"
#include "app/WindowMessages.h"
#include "io/ByteSource.h"

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
  if (found.status.stopped()) ShowStatusNotice(FormatMessage(WindowMessageId::kScanStopped));
  if (found.status.ok()) AddPauseMarks(found.marks);
}

PauseResult TForm1::ScanForPauses(const PauseSettings& settings) {
  std::unique_ptr<FileSource> file = FileSource::Open(file_.WaveFileName);
  if (!file) {
    PauseResult refused;
    refused.status = Status::Fail(MessageId::kCannotOpen, file_.WaveFileName);
    return refused;
  }
  flags_.Busy = true;
  flags_.StatusHeld = true;  // the refresh tick leaves the panel to the scan
  flags_.AbortRequested = false;
  flags_.CopyPos = file_.Header.DataOffset;
  SetPanel1(QString::fromUtf8(t::kScanningPanel), kScanningColour);
  PauseHooks hooks;
  hooks.stopTest = [this] { return flags_.AbortRequested; };
  hooks.progress = [this](int64_t done, int64_t) { flags_.CopyPos = file_.Header.DataOffset + done; };
  hooks.idle = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
  hooks.idleInterval = outputOptions_.idleInterval;
  PauseResult found = FindPauses(*file, file_.Header, settings, hooks, file_.WaveFileName);
  // The panel goes back to the playback texts at the next refresh tick.
  flags_.StatusHeld = false;
  flags_.AbortRequested = false;
  return found;
}

void TForm1::AddPauseMarks(const std::vector<int64_t>& found) {
  if (found.empty()) {
    ShowStatusNotice(FormatMessage(MessageId::kNoPauseFound));
    return;
  }
  const auto fresh = std::count_if(found.begin(), found.end(), [&](int64_t m) { return !marks_.Contains(m); });
  if (marks_.Count() + fresh > MarkStore::kMaxMarks) {
    ShowMessage(FormatMessage(WindowMessageId::kTooManyPauses, std::to_string(found.size())));
    return;
  }
  int added = 0;
  for (const int64_t mark : found) {
    if (marks_.Add(mark).ok()) ++added;  // a mark already set is skipped
  }
  RedrawMarks();
  ShowStatusNotice(FormatMessage(WindowMessageId::kPausesAdded, std::to_string(added)));
}

void TForm1::ShowStatusNotice(const std::string& text) {
  c_.StatusBar1->showMessage(QString::fromStdString(text), kStatusNoticeMs);
}

}  // namespace sonaveld
