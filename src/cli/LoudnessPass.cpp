#include "cli/LoudnessPass.h"

#include <atomic>
#include <csignal>

#include "analysis/LoudnessBatch.h"
#include "cli/CliMessages.h"
#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "normalizer/NormalizeReport.h"

namespace sonaveld::cli {
namespace {

std::atomic<bool> g_stop{false};

// Ctrl+C stops every job at its next block; outputs not complete are removed.
extern "C" void OnLoudnessInterrupt(int) { g_stop = true; }

int RunBatch(const NormalizeArgs& args) {
  LoudnessBatchSettings settings;
  settings.settings = args.settings;
  settings.target = args.target;
  settings.album = args.album;
  settings.dualMono = args.dualMono;
  settings.jobs = args.jobs;
  ProgressLine progress(args.quiet);
  std::vector<ReportRow> rows;
  bool failed = false;
  LoudnessBatchHooks hooks;
  hooks.stopTest = [] { return g_stop.load(); };
  hooks.progress = [&](int64_t done, int64_t total) { progress.Update(done, total); };
  // In list order: the file's messages, its output, its report row.
  hooks.fileDone = [&](size_t, const LoudnessFileOutcome& outcome) {
    for (const std::string& message : outcome.messages) PrintMessage(message);
    if (!outcome.written.empty()) PrintWritten(outcome.written);
    failed = failed || outcome.bad;
    rows.push_back(outcome.row);
  };
  RunLoudnessBatch(args.files, settings, hooks);
  progress.Clear();
  if (!args.report.empty() && !WriteReport(args.report, rows, false)) {
    PrintMessage(FormatMessage(MessageId::kCannotWrite, args.report));
    failed = true;
  }
  return failed ? kExitRefused : kExitDone;
}

}  // namespace

int RunLoudnessPass(const NormalizeArgs& args) {
  g_stop = false;
  auto previous = std::signal(SIGINT, OnLoudnessInterrupt);
  const int status = RunBatch(args);
  std::signal(SIGINT, previous);
  return status;
}

}  // namespace sonaveld::cli
