// split-channels: each channel of a polyphonic (or any) WAV file as a mono file of its own.
#include <csignal>

#include "cli/Commands.h"
#include "cli/OpenWave.h"
#include "cli/ProgressLine.h"
#include "cli/WaveOperand.h"
#include "output/ChannelSplit.h"

namespace sonaveld::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

struct SplitChannelsArgs {
  std::string wave;
  std::string out;
  bool quiet = false;
  bool yes = false;  // the free-space question answered Yes, as the cut commands' --yes
};

// Parses "WAV -o NAME [--yes] [--quiet]"; an error text on wrong usage.
std::string ParseSplitChannelsArgs(const std::vector<std::string>& args, SplitChannelsArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o") {
      if (i + 1 >= args.size()) return "-o needs a value";
      parsed->out = args[++i];
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (a == "--yes") {
      parsed->yes = true;
    } else if (std::string error = TakeWaveOperand(a, parsed->wave); !error.empty()) {
      return error;
    }
  }
  if (parsed->wave.empty()) return "no WAV file";
  if (parsed->out.empty()) return "no output name (-o)";
  return {};
}

}  // namespace

int RunSplitChannels(const std::vector<std::string>& args) {
  SplitChannelsArgs parsed;
  if (std::string error = ParseSplitChannelsArgs(args, &parsed); !error.empty()) return UsageError(error);
  WaveHeader header;
  {
    const OpenedWave wave = OpenWave(parsed.wave);  // closed again before the split opens it
    if (!wave.source) return kExitRefused;
    header = wave.header;
  }
  std::signal(SIGINT, OnInterrupt);
  ProgressLine progress(parsed.quiet);
  ChannelSplitHooks hooks;
  hooks.progress = [&progress](int64_t done, int64_t total) { progress.Update(done, total); };
  hooks.stopTest = [] { return interrupted != 0; };
  hooks.written = [](const std::string& path) { PrintWritten(path); };
  // The question said on stderr and answered by --yes, as CliOutputHost does for the cut commands.
  hooks.confirmLowSpace = [&parsed](const std::string& question) {
    PrintMessage(question);
    return parsed.yes;
  };
  const ChannelSplitResult result = SplitChannels(parsed.wave, header, parsed.out, hooks);
  if (result.status.failed()) PrintMessage(result.status.message());
  if (result.status.stopped()) PrintMessage(FormatMessage(MessageId::kSplitStopped));
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace sonaveld::cli
