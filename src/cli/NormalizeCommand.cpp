// sonaveld-cli normalize: the normalization pass of the normalizer window on the terminal.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliMessages.h"
#include "cli/Commands.h"
#include "cli/ProgressLine.h"
#include "normalizer/NormalizePass.h"

namespace sonaveld::cli {
namespace {

// The terminal side of the pass: the backup question on stderr, each finished file on stdout,
// and the progress line over the bytes of all files. The backup question is answered by --restore.
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
  void OutputWritten(const std::string& path) override { PrintWritten(path); }
  void EntrySkipped(const std::string& message) override { PrintMessage(message); }

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

  bool restore_;
  ProgressLine& progress_;
  std::vector<int64_t> sizes_;
  int64_t total_ = 0;
  int entry_ = -1;
  double measured_ = 0;  // share of the measuring run done, 0..1
  int64_t scaled_ = 0;   // block of the scaling run, of scaleMaximum_
  int64_t scaleMaximum_ = 0;
};

struct NormalizeArgs {
  NormalizeSettings settings;
  bool restore = false;
  bool quiet = false;
  std::vector<std::string> files;
};

// A whole number 1..150 (the range of the percentage box); -1 otherwise.
int ParsePercent(const std::string& text) {
  if (text.empty() || text.size() > 3) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 150 ? value : -1;
}

// Parses the arguments; an empty string when they are valid, else what is wrong.
std::string ParseArgs(const std::vector<std::string>& args, NormalizeArgs& out) {
  bool replace = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--mode") {
      if (!hasValue) return "--mode needs peak or average";
      const std::string& m = args[++i];
      if (m == "peak") out.settings.mode = NormalizeMode::kPeak;
      else if (m == "average") out.settings.mode = NormalizeMode::kAverage;
      else return "--mode must be peak or average";
    } else if (a == "--percent") {
      if (!hasValue || (out.settings.percent = ParsePercent(args[++i])) < 0) return "--percent must be 1..150";
    } else if (a == "--replace") {
      replace = true;
    } else if (a == "--restore") {
      out.restore = true;
    } else if (a == "--skip-existing") {
      out.settings.skipExisting = true;
    } else if (a == "--output-dir") {
      if (!hasValue || args[i + 1].empty()) return "--output-dir needs a folder";
      out.settings.outputDir = args[++i];
    } else if (a == "--quiet") {
      out.quiet = true;
    } else if (a == "--") {
      out.files.insert(out.files.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a.starts_with("-")) {
      return "unknown option: " + a;
    } else {
      out.files.push_back(a);
    }
  }
  if (out.restore && !replace) return "--restore needs --replace";
  if (replace && !out.settings.outputDir.empty()) return "--output-dir and --replace exclude each other";
  if (out.files.empty()) return "normalize needs at least one WAV file";
  out.settings.keepSourceName = !replace;
  return {};
}

NormalizePass* g_runningPass = nullptr;

// Ctrl+C is the stop button: the pass ends at its next block and leaves no partial output.
extern "C" void OnInterrupt(int) {
  if (g_runningPass != nullptr) g_runningPass->RequestStop();
}

}  // namespace

int RunNormalize(const std::vector<std::string>& args) {
  NormalizeArgs parsed;
  const std::string problem = ParseArgs(args, parsed);
  if (!problem.empty()) return UsageError(problem);
  if (const std::string& dir = parsed.settings.outputDir; !dir.empty() && !std::filesystem::is_directory(dir)) {
    PrintMessage(FormatMessage(kNotAFolderMessage, dir));
    return kExitRefused;
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
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace sonaveld::cli
