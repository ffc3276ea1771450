#include "cli/LoudnessPass.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "analysis/LoudnessMeter.h"
#include "cli/CliMessages.h"
#include "cli/Commands.h"
#include "cli/NormalizeReport.h"
#include "cli/OrderedJobs.h"
#include "cli/ProgressLine.h"

namespace sonaveld::cli {
namespace {

std::atomic<bool> g_stop{false};

// Ctrl+C stops every job at its next block; outputs not complete are removed.
extern "C" void OnLoudnessInterrupt(int) { g_stop = true; }

// pattern with each "%s" replaced by the next of parts.
std::string Fill(const char* pattern, std::initializer_list<std::string> parts) {
  std::string text = pattern;
  size_t at = 0;
  for (const std::string& part : parts) {
    at = text.find("%s", at);
    if (at == std::string::npos) break;
    text.replace(at, 2, part);
    at += part.size();
  }
  return text;
}

std::string Decibels(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

// A file's measurement: refused when it cannot be opened or is no WAV the meter reads.
struct Measured {
  Status status;
  bool refused = false;
  LoudnessFigures figures{};
};

// The refusal of the probe as the normalizer names an entry it refuses (with the path); a
// refusal it has no entry message for gets the path in front.
Status EntryRefusal(const Status& probe, const std::string& path) {
  const std::pair<MessageId, MessageId> named[] = {{MessageId::kNotBits, MessageId::kEntryNotBits},
                                                   {MessageId::kNotChannels, MessageId::kEntryNotChannels},
                                                   {MessageId::kNoDataChunk, MessageId::kEntryNoDataChunk}};
  for (const auto& [plain, entry] : named) {
    if (probe.message() == FormatMessage(plain)) return Status::Fail(entry, path);
  }
  return Status::Fail(path + ": " + probe.message());
}

// Opens, probes and measures the file at path (closed again on return). progress gets the share
// of the file measured, 0..1.
Measured MeasureFile(const std::string& path, bool dualMono, int threads, std::atomic<double>& progress) {
  Measured measured;
  auto source = FileSource::Open(path);
  if (!source) return {Status::Fail(MessageId::kCannotOpen, path), true};
  const ProbeResult probe = ProbeWave(*source, path);
  if (!probe.status.ok()) return {EntryRefusal(probe.status, path), true};
  LoudnessHooks hooks;
  hooks.stopTest = [] { return g_stop.load(); };
  hooks.progress = [&](int64_t done, int64_t total) {
    progress = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
  };
  Result<LoudnessFigures> result = MeasureLoudness(*source, probe.header, {dualMono, threads}, hooks, path);
  measured.status = result.status;
  measured.figures = std::move(result.value);
  return measured;
}

// The host of one job's pass: records what the pass tells of its entry.
class JobHost final : public NormalizerHost {
 public:
  explicit JobHost(std::atomic<double>& progress) : progress_(progress) {}
  bool Confirm(const std::string&) override { return false; }
  void SetSettingsEnabled(bool) override {}
  void SetBarMaximum(NormalizeBar bar, int64_t maximum) override {
    if (bar == NormalizeBar::kFile) maximum_ = maximum;
  }
  void SetBarPosition(NormalizeBar bar, int64_t position) override {
    if (bar == NormalizeBar::kFile && maximum_ > 0) progress_ = static_cast<double>(position) / maximum_;
  }
  void SelectEntry(int) override {}
  void ProcessEvents() override {}
  void OutputWritten(const std::string& path) override { written = path; }
  void EntrySkipped(const std::string& message) override { skipped = message; }

  std::string written;
  std::string skipped;

 private:
  std::atomic<double>& progress_;
  int64_t maximum_ = 0;
};

// What one file's job produced; printed and recorded in list order.
struct FileWork {
  std::atomic<double> measured{0}, scaled{0}, remeasured{0};  // shares of the three runs, 0..1
  std::optional<Measured> measurement;
  std::vector<std::string> messages;  // to stderr
  std::string written;                // to stdout
  ReportRow row;
  bool bad = false;  // refused, failed or stopped
};

class LoudnessRun {
 public:
  explicit LoudnessRun(const NormalizeArgs& args)
      : args_(args), work_(args.files.size()), progress_(args.quiet) {
    const size_t count = args.files.size();
    jobs_ = static_cast<int>(std::min<size_t>(count, args.jobs > 0 ? args.jobs : DefaultJobs()));
    // Cores a job's measurement may use: all of them when the list is shorter than the jobs.
    measureThreads_ = std::max(1, (args.jobs > 0 ? args.jobs : DefaultJobs()) / std::max(jobs_, 1));
    for (const std::string& file : args.files) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(file, ec);
      sizes_.push_back(ec ? 0 : static_cast<int64_t>(size));
      total_ += sizes_.back();
    }
  }

  int Run() {
    const size_t count = args_.files.size();
    auto tick = [this] { progress_.Update(BytesDone(), total_); };
    std::optional<LoudnessGain> album;
    if (args_.album) {
      RunOrdered(count, jobs_, [this](size_t i) { Measure(i); }, [](size_t) {}, tick);
      album = AlbumGain();
    }
    RunOrdered(count, jobs_, [this, &album](size_t i) { Normalize(i, album); }, [this](size_t i) { Finish(i); },
               tick);
    progress_.Clear();
    if (!args_.report.empty() && !WriteReport(args_.report, rows_, false)) {
      PrintMessage(FormatMessage(MessageId::kCannotWrite, args_.report));
      failed_ = true;
    }
    return failed_ ? kExitRefused : kExitDone;
  }

 private:
  void Measure(size_t i) {
    FileWork& work = work_[i];
    work.measurement = MeasureFile(args_.files[i], args_.dualMono, measureThreads_, work.measured);
  }

  // The album's one gain from the loudness of all files' blocks together, against the loudest
  // true peak among them.
  LoudnessGain AlbumGain() const {
    std::vector<const LoudnessFigures*> files;
    double truePeak = -INFINITY;
    for (const FileWork& work : work_) {
      if (!work.measurement || !work.measurement->status.ok()) continue;
      files.push_back(&work.measurement->figures);
      truePeak = std::max(truePeak, work.measurement->figures.truePeakDbtp);
    }
    return PlanLoudnessGain(AlbumIntegratedLufs(files), truePeak, args_.target);
  }

  void Normalize(size_t i, const std::optional<LoudnessGain>& album) {
    FileWork& work = work_[i];
    ReportRow& row = work.row;
    row.file = args_.files[i];
    if (const std::string skip = NormalizePass::SkipReason(args_.files, i, args_.settings); !skip.empty()) {
      return Unchanged(work, skip);
    }
    if (!work.measurement) Measure(i);
    const Measured& measured = *work.measurement;
    if (!measured.status.ok()) {
      return Bad(work, measured.status, measured.status.stopped() ? "stopped" : measured.refused ? "refused" : "failed");
    }
    const LoudnessFigures& figures = measured.figures;
    row.integratedLufs = figures.integratedLufs;
    row.lraLu = figures.lraLu;
    row.truePeakDbtp = figures.truePeakDbtp;
    const LoudnessGain gain = album ? *album : PlanLoudnessGain(figures.integratedLufs, figures.truePeakDbtp, args_.target);
    row.gainDb = gain.gainDb;
    row.limited = gain.limited;
    // A file with no loudness of its own is left alone, in an album too.
    if (gain.unchanged || !std::isfinite(figures.integratedLufs)) {
      row.gainDb = 0.0;
      row.limited = false;
      return Unchanged(work, Fill(kNoLoudnessMessage, {row.file}));
    }
    Write(i, gain);
  }

  void Write(size_t i, const LoudnessGain& gain) {
    FileWork& work = work_[i];
    NormalizeSettings settings = args_.settings;
    settings.gainsDb.assign(args_.files.size(), 0.0);
    settings.gainsDb[i] = gain.gainDb;
    JobHost host(work.scaled);
    NormalizePass pass(host);
    pass.ShareStopFlag(&g_stop);
    const Status status = pass.RunEntry(args_.files, i, settings);
    if (status.silent()) return Unchanged(work, host.skipped);
    if (!status.ok()) return Bad(work, status, status.stopped() ? "stopped" : "failed");
    work.written = work.row.output = host.written;
    work.row.status = "ok";
    if (gain.limited) {
      work.row.message = Fill(kLimitedMessage, {work.row.file, Decibels(args_.target.ceilingDbtp),
                                                Decibels(gain.reachedLufs)});
      work.messages.push_back(work.row.message);
    }
    Remeasure(work);
  }

  // The output on disk measured again, for the report.
  void Remeasure(FileWork& work) {
    const Measured again = MeasureFile(work.written, args_.dualMono, measureThreads_, work.remeasured);
    if (again.status.ok()) {
      work.row.outputIntegratedLufs = again.figures.integratedLufs;
      work.row.outputTruePeakDbtp = again.figures.truePeakDbtp;
    } else if (!again.status.stopped()) {  // a stop leaves the complete output unmeasured
      work.messages.push_back(Fill(kNotRemeasuredMessage, {work.written}));
      work.row.message = work.messages.back();
    }
  }

  static void Unchanged(FileWork& work, const std::string& message) {
    work.row.status = "unchanged";
    work.row.message = message;
    work.messages.push_back(message);
  }

  static void Bad(FileWork& work, const Status& status, const char* what) {
    work.row.status = what;
    work.row.message = status.message();
    if (!status.message().empty()) work.messages.push_back(status.message());
    work.bad = true;
  }

  // On the calling thread, in list order: the file's messages, its output, its report row.
  void Finish(size_t i) {
    FileWork& work = work_[i];
    for (const std::string& message : work.messages) PrintMessage(message);
    if (!work.written.empty()) PrintWritten(work.written);
    failed_ = failed_ || work.bad;
    rows_.push_back(work.row);
    work.measured = work.scaled = work.remeasured = 1;
  }

  // Each file counts its size once for each of the four shares of work: measuring, reading and
  // writing (two), measuring the output.
  int64_t BytesDone() const {
    double done = 0;
    for (size_t i = 0; i < work_.size(); ++i) {
      const FileWork& w = work_[i];
      done += static_cast<double>(sizes_[i]) * (w.measured + 2 * w.scaled + w.remeasured) / 4;
    }
    return static_cast<int64_t>(done);
  }

  const NormalizeArgs& args_;
  std::vector<FileWork> work_;
  std::vector<ReportRow> rows_;
  std::vector<int64_t> sizes_;
  int64_t total_ = 0;
  int jobs_ = 1;
  int measureThreads_ = 1;
  bool failed_ = false;
  ProgressLine progress_;
};

}  // namespace

int RunLoudnessPass(const NormalizeArgs& args) {
  g_stop = false;
  auto previous = std::signal(SIGINT, OnLoudnessInterrupt);
  const int status = LoudnessRun(args).Run();
  std::signal(SIGINT, previous);
  return status;
}

}  // namespace sonaveld::cli
