// sonaveld-cli normalize: the normalization pass of the normalizer window on the terminal.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "normalizer/NormalizePass.h"

namespace sonaveld::cli {
namespace {

// The terminal side of the pass: the backup question on stderr, each finished file on stdout.
// The backup question is answered by --restore.
class TerminalHost final : public NormalizerHost {
 public:
  explicit TerminalHost(bool restore) : restore_(restore) {}
  bool Confirm(const std::string& question) override {
    PrintMessage(question);
    return restore_;
  }
  void SetSettingsEnabled(bool) override {}
  void SetBarMaximum(NormalizeBar, int64_t) override {}
  void SetBarPosition(NormalizeBar, int64_t) override {}
  void SelectEntry(int) override {}
  void ProcessEvents() override {}
  void OutputWritten(const std::string& path) override {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
  }

 private:
  bool restore_;
};

struct NormalizeArgs {
  NormalizeSettings settings;
  bool restore = false;
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

  TerminalHost host(parsed.restore);
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
