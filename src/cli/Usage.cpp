#include <cstdio>

#include "cli/Commands.h"

namespace sonaveld::cli {

const char* UsageText() {
  return "usage:\n"
         "  sonaveld-cli info WAV\n"
         "  sonaveld-cli cut WAV -o OUT [--marks P1,P2,... | --marks-file TXT] [--keep-head] [--yes]\n"
         "  sonaveld-cli split WAV -o NAME [--marks P1,P2,... | --marks-file TXT] [--keep-head] [--yes]\n"
         "  sonaveld-cli split-marks WAV -o NAME [--marks P1,P2,... | --marks-file TXT] [--yes]\n"
         "  sonaveld-cli normalize [--mode peak|average] [--percent P] [--replace] [--restore] WAV...\n"
         "  sonaveld-cli --help | --version\n"
         "\n"
         "Marks are sample-frame positions (1 = the first frame). cut writes the selected ranges into OUT;\n"
         "split writes each selected range to NAME01.wav, NAME02.wav, ...; split-marks cuts the whole file\n"
         "at every mark into NAME00.wav, NAME01.wav, ... --keep-head keeps the stretch before the first mark.\n"
         "--yes answers Yes when the output's volume may be short of space.\n"
         "Every file written is printed on stdout. Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";
}

void PrintMessage(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
}

int UsageError(const std::string& what) {
  std::fprintf(stderr, "sonaveld-cli: %s\n\n%s", what.c_str(), UsageText());
  return kExitUsage;
}

}  // namespace sonaveld::cli
