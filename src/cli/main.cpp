// sonaveld-cli: the file work of Sonaveld (probe, cut, split, normalize, pauses, loudness) for scripts.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Version.h"
#include "cli/Commands.h"

namespace {

struct CommandEntry {
  const char* name;
  int (*run)(const std::vector<std::string>&);
};

constexpr CommandEntry kCommands[] = {
    {"info", sonaveld::cli::RunInfo},
    {"cut", sonaveld::cli::RunCut},
    {"split", sonaveld::cli::RunSplit},
    {"split-marks", sonaveld::cli::RunSplitMarks},
    {"mark", sonaveld::cli::RunMark},
    {"marks", sonaveld::cli::RunMarks},
    {"normalize", sonaveld::cli::RunNormalize},
    {"pauses", sonaveld::cli::RunPauses},
    {"join", sonaveld::cli::RunJoin},
    {"loudness", sonaveld::cli::RunLoudness},
    {"split-channels", sonaveld::cli::RunSplitChannels},
};

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit must show as a failed write (reported, output removed), not kill the process.
  std::signal(SIGXFSZ, SIG_IGN);
  using namespace sonaveld::cli;
  if (argc < 2) return UsageError("no command");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::fputs(UsageText(), stdout);
    return kExitDone;
  }
  if (name == "--version") {
    std::printf("sonaveld-cli %s\n", sonaveld::kVersion);
    return kExitDone;
  }
  for (const auto& command : kCommands) {
    if (name == command.name) return command.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  return UsageError("unknown command: " + name);
}
