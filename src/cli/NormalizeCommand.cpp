// sonaveld-cli normalize: the normalization pass of the normalizer window on the terminal.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliMessages.h"
#include "cli/LoudnessPass.h"
#include "cli/NormalizeArgs.h"
#include "normalizer/NormalizeReport.h"
#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "normalizer/NormalizePass.h"

namespace sonaveld::cli {
namespace {

// The terminal side of the pass: the backup question on stderr, each finished file on stdout,
// the progress line over the bytes of all files, and a report row for each entry. The backup
// question is answered by --restore.
class TerminalHost final : public NormalizerHost {
 public:
  TerminalHost(bool restore, const std::vector<std::string>& files, ProgressLine& progress)
      : restore_(restore), progress_(progress) {
    for (const std::string& file : files) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(file, ec);
      sizes_.push_back(ec ? 0 : static_cast<int64_t>(size));
      total_ += sizes_.back();
    }
  }
  bool Confirm(const std::string& question) override {
    PrintMessage(question);
    return restore_;
  }
  void SetSettingsEnabled(bool) override {}
  void SetBarMaximum(NormalizeBar bar, int64_t maximum) override {
    if (bar == NormalizeBar::kFile) scaleMaximum_ = maximum;
  }
  void SetBarPosition(NormalizeBar bar, int64_t position) override {
    if (bar == NormalizeBar::kFile) scaled_ = position;
  }
  void MeasureProgress(int64_t k, int64_t blocks) override { measured_ = static_cast<double>(k + 1) / blocks; }
  // The list entry being worked on: the files before it are done.
  void SelectEntry(int index) override {
    entry_ = index;
    measured_ = 0;
    scaled_ = 0;
    ProcessEvents();
  }
  void ProcessEvents() override { progress_.Update(BytesDone(), total_); }
  void OutputWritten(const std::string& path) override {
    PrintWritten(path);
    Row("ok", {}).output = path;
  }
  void EntrySkipped(const std::string& message) override {
    PrintMessage(message);
    Row("unchanged", message);
  }
  void EntryFinished(const EntryFigures& figures) override { figures_ = figures; }

  // The rows of the entries the pass reached; the one it ended on gets how it ended, those after
  // it "stopped" (a failure or a stop ends the pass).
  std::vector<ReportRow> Rows(const std::vector<std::string>& files, const Status& ended) {
    if (!ended.ok() && !ended.silent() && entry_ >= 0 && entry_ < static_cast<int>(files.size())) {
      Row(ended.stopped() ? "stopped" : "failed", ended.message());
    }
    const size_t reached = rows_.size();
    rows_.resize(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      rows_[i].file = files[i];
      if (i >= reached) rows_[i].status = "stopped";
    }
    return rows_;
  }

 private:
  // The files before the current one, and of the current one its share of the two runs: the
  // measuring run reads the file, the scaling run reads and writes it, so a third and two thirds.
  int64_t BytesDone() const {
    int64_t done = 0;
    for (size_t i = 0; i < sizes_.size() && static_cast<int>(i) < entry_; ++i) done += sizes_[i];
    if (entry_ < 0 || entry_ >= static_cast<int>(sizes_.size())) return done;
    const double scaled = scaleMaximum_ > 0 ? static_cast<double>(scaled_) / scaleMaximum_ : 0;
    return done + static_cast<int64_t>(sizes_[static_cast<size_t>(entry_)] * (measured_ + 2 * scaled) / 3);
  }

  // The row of the current entry, with its status, message and (once written) figures.
  ReportRow& Row(const char* status, const std::string& message) {
    rows_.resize(static_cast<size_t>(std::max(entry_, 0)) + 1);
    ReportRow& row = rows_.back();
    row.status = status;
    row.message = message;
    if (row.status == "ok") FillLevels(row, figures_);
    return row;
  }

  bool restore_;
  ProgressLine& progress_;
  std::vector<ReportRow> rows_;
  EntryFigures figures_;
  std::vector<int64_t> sizes_;
  int64_t total_ = 0;
  int entry_ = -1;
  double measured_ = 0;  // share of the measuring run done, 0..1
  int64_t scaled_ = 0;   // block of the scaling run, of scaleMaximum_
  int64_t scaleMaximum_ = 0;
};

NormalizePass* g_runningPass = nullptr;

// Ctrl+C is the stop button: the pass ends at its next block and leaves no partial output.
extern "C" void OnInterrupt(int) {
  if (g_runningPass != nullptr) g_runningPass->RequestStop();
}

}  // namespace

int RunNormalize(const std::vector<std::string>& args) {
  NormalizeArgs parsed;
  const std::string problem = ParseNormalizeArgs(args, parsed);
  if (!problem.empty()) return UsageError(problem);
  if (const int listed = ReadFileList(parsed); listed != kExitDone) return listed;
  if (!parsed.report.empty() && !CanWriteReport(parsed.report)) {
    PrintMessage(FormatMessage(MessageId::kCannotCreate, parsed.report));
    return kExitRefused;
  }
  if (const std::string& dir = parsed.settings.outputDir; !dir.empty() && !std::filesystem::is_directory(dir)) {
    PrintMessage(FormatMessage(kNotAFolderMessage, dir));
    return kExitRefused;
  }

  // The loudness pass has its own jobs; with backups to put back the pass below asks about them.
  if (parsed.settings.mode == NormalizeMode::kLoudness &&
      (parsed.settings.keepSourceName || !NormalizePass::AnyBackupExists(parsed.files))) {
    return RunLoudnessPass(parsed);
  }
  ProgressLine progress(parsed.quiet);
  TerminalHost host(parsed.restore, parsed.files, progress);
  NormalizePass pass(host);
  g_runningPass = &pass;
  auto previous = std::signal(SIGINT, OnInterrupt);
  const PassResult result = pass.Run(parsed.files, parsed.settings);
  std::signal(SIGINT, previous);
  g_runningPass = nullptr;
  if (result.status.failed()) PrintMessage(result.status.message());
  // A restore or a declined question normalizes nothing: no report then.
  const bool normalized = result.outcome != PassOutcome::kRestored && result.outcome != PassOutcome::kDeclined;
  if (!parsed.report.empty() && normalized &&
      !WriteReport(parsed.report, host.Rows(parsed.files, result.status), true)) {
    PrintMessage(FormatMessage(MessageId::kCannotWrite, parsed.report));
    return kExitRefused;
  }
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace sonaveld::cli
