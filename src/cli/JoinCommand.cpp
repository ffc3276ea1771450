// join: files of one format joined sample-continuously into one WAV file.
#include "cli/CliOutputHost.h"
#include "cli/Commands.h"
#include "output/JoinWaves.h"

namespace sonaveld::cli {
namespace {

struct JoinArgs {
  std::string out;
  std::vector<std::string> waves;
  bool yes = false;
  bool quiet = false;
};

// Parses "-o OUT WAV WAV... [--yes] [--quiet]"; an error text on wrong usage.
std::string ParseJoinArgs(const std::vector<std::string>& args, JoinArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o") {
      if (i + 1 >= args.size()) return "-o needs a value";
      parsed->out = args[++i];
    } else if (a == "--yes") {
      parsed->yes = true;
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (a.starts_with("-") && a != "-") {
      return "unknown option " + a;
    } else {
      parsed->waves.push_back(a);
    }
  }
  if (parsed->out.empty()) return "no output name (-o)";
  return parsed->waves.size() < 2 ? "join takes two or more WAV files" : "";
}

}  // namespace

int RunJoin(const std::vector<std::string>& args) {
  JoinArgs parsed;
  if (std::string error = ParseJoinArgs(args, &parsed); !error.empty()) return UsageError(error);
  const Result<std::vector<JoinSource>> sources = ProbeJoinSources(parsed.waves);
  if (!sources.ok()) {
    PrintMessage(sources.status.message());
    return kExitRefused;
  }
  int64_t total = 0;
  for (const JoinSource& s : sources.value) total += s.header.DataEnd - s.header.DataOffset;
  ProgressLine progress(parsed.quiet);
  CreationFlags flags;
  CliOutputHost host(parsed.yes, flags, progress, total);  // over the sample bytes of all the files
  progress.Update(0, total);
  const OutputResult result = JoinWaves(sources.value, parsed.out, flags, host);
  if (result.status.failed()) PrintMessage(result.status.message());
  return result.status.ok() ? kExitDone : kExitRefused;
}

}  // namespace sonaveld::cli
