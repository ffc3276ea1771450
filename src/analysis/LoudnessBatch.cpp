#include "analysis/LoudnessBatch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "analysis/LoudnessMeter.h"
#include "analysis/OrderedJobs.h"
#include "base/Messages.h"
#include "normalizer/NormalizerHost.h"

namespace sonaveld {
namespace {

// pattern with each "%s" replaced by the next of parts.
std::string Fill(std::string_view pattern, std::initializer_list<std::string> parts) {
  std::string text(pattern);
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

// What one file's job produced, and how far its three runs got (shares 0..1).
struct FileWork {
  std::atomic<double> measured{0}, scaled{0}, remeasured{0};
  std::optional<Measured> measurement;
  LoudnessFileOutcome outcome;
};

class LoudnessRun {
 public:
  LoudnessRun(const std::vector<std::string>& files, const LoudnessBatchSettings& settings,
              const LoudnessBatchHooks& hooks)
      : files_(files), settings_(settings), hooks_(hooks), work_(files.size()) {
    const int jobs = settings.jobs > 0 ? settings.jobs : DefaultJobs();
    jobs_ = static_cast<int>(std::min<size_t>(files.size(), jobs));
    // Cores a job's measurement may use: all of them when the list is shorter than the jobs.
    measureThreads_ = std::max(1, jobs / std::max(jobs_, 1));
    for (const std::string& file : files) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(file, ec);
      sizes_.push_back(ec ? 0 : static_cast<int64_t>(size));
      total_ += 4 * sizes_.back();
    }
  }

  std::vector<LoudnessFileOutcome> Run() {
    const size_t count = files_.size();
    auto tick = [this] {
      Stopped();
      if (hooks_.progress) hooks_.progress(BytesDone(), total_);
      if (hooks_.fileProgress && current_ < work_.size()) hooks_.fileProgress(current_, Share(current_));
    };
    std::optional<LoudnessGain> album;
    if (settings_.album) {
      RunOrdered(count, jobs_, [this](size_t i) { Measure(i); }, [this](size_t i) { current_ = i + 1; }, tick);
      album = AlbumGain();
      current_ = 0;
    }
    RunOrdered(count, jobs_, [this, &album](size_t i) { Normalize(i, album); }, [this](size_t i) { Finish(i); },
               tick);
    std::vector<LoudnessFileOutcome> outcomes;
    for (FileWork& work : work_) outcomes.push_back(std::move(work.outcome));
    return outcomes;
  }

 private:
  // True once the caller asked to stop (asked again until it says so, then kept).
  bool Stopped() {
    if (!stop_ && hooks_.stopTest && hooks_.stopTest()) stop_ = true;
    return stop_;
  }

  // Opens, probes and measures the file at path (closed again on return, or handed to keep when
  // given, open with its view); progress gets the share of the file measured.
  Measured MeasureFile(const std::string& path, std::atomic<double>& progress,
                       std::unique_ptr<FileSource>* keep = nullptr) {
    Measured measured;
    auto source = FileSource::Open(path);
    if (!source) return {Status::Fail(MessageId::kCannotOpen, path), true};
    const ProbeResult probe = ProbeWave(*source, path);
    if (!probe.status.ok()) return {EntryRefusal(probe.status, path), true};
    LoudnessHooks hooks;
    hooks.stopTest = [this] { return Stopped(); };
    hooks.progress = [&](int64_t done, int64_t total) {
      progress = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    };
    Result<LoudnessFigures> result =
        MeasureLoudness(*source, probe.header, {settings_.dualMono, measureThreads_}, hooks, path);
    measured.status = result.status;
    measured.figures = std::move(result.value);
    if (keep != nullptr) *keep = std::move(source);
    return measured;
  }

  void Measure(size_t i, std::unique_ptr<FileSource>* keep = nullptr) {
    work_[i].measurement = MeasureFile(files_[i], work_[i].measured, keep);
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
    return PlanLoudnessGain(AlbumIntegratedLufs(files), truePeak, settings_.target);
  }

  void Normalize(size_t i, const std::optional<LoudnessGain>& album) {
    FileWork& work = work_[i];
    ReportRow& row = work.outcome.row;
    row.file = files_[i];
    if (!settings_.measureOnly) {
      const std::string skip = NormalizePass::SkipReason(files_, i, settings_.settings);
      if (!skip.empty()) return Unchanged(work, skip);
    }
    // Measured here (not for an album), the file stays open for the write, which then reads the
    // samples the measurement mapped without mapping them again.
    std::unique_ptr<FileSource> opened;
    if (!work.measurement) Measure(i, &opened);
    const Measured& measured = *work.measurement;
    if (!measured.status.ok()) {
      return Bad(work, measured.status, measured.status.stopped() ? "stopped" : measured.refused ? "refused" : "failed");
    }
    const LoudnessFigures& figures = measured.figures;
    row.integratedLufs = figures.integratedLufs;
    row.lraLu = figures.lraLu;
    row.truePeakDbtp = figures.truePeakDbtp;
    const LoudnessGain gain =
        album ? *album : PlanLoudnessGain(figures.integratedLufs, figures.truePeakDbtp, settings_.target);
    row.gainDb = gain.gainDb;
    row.limited = gain.limited;
    // A file with no loudness of its own is left alone, in an album too.
    if (gain.unchanged || !std::isfinite(figures.integratedLufs)) {
      row.gainDb = 0.0;
      row.limited = false;
      return Unchanged(work, Fill(MessagePattern(MessageId::kNoLoudness), {row.file}));
    }
    if (settings_.measureOnly) {
      row.status = "ok";
      return;
    }
    Write(i, gain, std::move(opened));
  }

  void Write(size_t i, const LoudnessGain& gain, std::unique_ptr<FileSource> opened) {
    FileWork& work = work_[i];
    LoudnessFileOutcome& outcome = work.outcome;
    NormalizeSettings settings = settings_.settings;
    settings.gainsDb.assign(files_.size(), 0.0);
    settings.gainsDb[i] = gain.gainDb;
    JobHost host(work.scaled);
    NormalizePass pass(host);
    pass.ShareStopFlag(&stop_);
    if (settings_.opener) pass.SetSinkOpener(settings_.opener);
    const Status status = pass.RunEntry(files_, i, settings, std::move(opened));
    if (status.silent()) return Unchanged(work, host.skipped);
    if (!status.ok()) return Bad(work, status, status.stopped() ? "stopped" : "failed");
    outcome.written = outcome.row.output = host.written;
    outcome.row.status = "ok";
    if (gain.limited) {
      outcome.row.message = Fill(MessagePattern(MessageId::kLoudnessLimited),
                                 {outcome.row.file, Decibels(settings_.target.ceilingDbtp), Decibels(gain.reachedLufs)});
      outcome.messages.push_back(outcome.row.message);
    }
    Remeasure(work);
  }

  // The output on disk measured again, for the report.
  void Remeasure(FileWork& work) {
    LoudnessFileOutcome& outcome = work.outcome;
    const Measured again = MeasureFile(outcome.written, work.remeasured);
    if (again.status.ok()) {
      outcome.row.outputIntegratedLufs = again.figures.integratedLufs;
      outcome.row.outputTruePeakDbtp = again.figures.truePeakDbtp;
    } else if (!again.status.stopped()) {  // a stop leaves the complete output unmeasured
      outcome.messages.push_back(FormatMessage(MessageId::kNotRemeasured, outcome.written));
      outcome.row.message = outcome.messages.back();
    }
  }

  static void Unchanged(FileWork& work, const std::string& message) {
    work.outcome.row.status = "unchanged";
    work.outcome.row.message = message;
    work.outcome.messages.push_back(message);
  }

  static void Bad(FileWork& work, const Status& status, const char* what) {
    work.outcome.row.status = what;
    work.outcome.row.message = status.message();
    if (!status.message().empty()) work.outcome.messages.push_back(status.message());
    work.outcome.bad = true;
  }

  // On the calling thread, in list order.
  void Finish(size_t i) {
    FileWork& work = work_[i];
    work.measured = work.scaled = work.remeasured = 1;
    current_ = i + 1;
    if (hooks_.fileDone) hooks_.fileDone(i, work.outcome);
  }

  // The share of file i's work done, 0..1: measuring, reading and writing (two), measuring the
  // output; a measure-only pass has the first alone.
  double Share(size_t i) const {
    const FileWork& w = work_[i];
    return settings_.measureOnly ? w.measured.load() : (w.measured + 2 * w.scaled + w.remeasured) / 4;
  }

  // Each file counts its size four times, once for each quarter of its work.
  int64_t BytesDone() const {
    double done = 0;
    for (size_t i = 0; i < work_.size(); ++i) done += 4.0 * static_cast<double>(sizes_[i]) * Share(i);
    return static_cast<int64_t>(done);
  }

  const std::vector<std::string>& files_;
  const LoudnessBatchSettings& settings_;
  const LoudnessBatchHooks& hooks_;
  std::vector<FileWork> work_;
  std::vector<int64_t> sizes_;
  int64_t total_ = 0;
  int jobs_ = 1;
  int measureThreads_ = 1;
  size_t current_ = 0;  // the first file not yet done (the calling thread's)
  std::atomic<bool> stop_{false};
};

}  // namespace

std::vector<LoudnessFileOutcome> RunLoudnessBatch(const std::vector<std::string>& files,
                                                  const LoudnessBatchSettings& settings,
                                                  const LoudnessBatchHooks& hooks) {
  return LoudnessRun(files, settings, hooks).Run();
}

}  // namespace sonaveld
