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
         "  sonaveld-cli pauses WAV [--below DB] [--min MS] [--write]\n"
         "  sonaveld-cli --help | --version\n"
         "\n"
         "Marks are sample-frame positions (1 = the first frame). cut writes the selected ranges into OUT;\n"
         "split writes each selected range to NAME01.wav, NAME02.wav, ...; split-marks cuts the whole file\n"
         "at every mark into NAME00.wav, NAME01.wav, ... --keep-head keeps the stretch before the first mark.\n"
         "--yes answers Yes when the output's volume may be short of space.\n"
         "pauses prints a mark in the middle of every pause, one frame a line: a stretch of at least MS\n"
         "milliseconds (10..600000, default 1000) whose level stays below DB dBFS (-96..0, default -50),\n"
         "measured in windows of 10 ms; silence before the first and after the last sound gets none.\n"
         "--write records them as the WAV's mark list file (NAME.txt, at most 255) and prints its path.\n"
         "  sonaveld-cli split-marks in.wav -o piece --marks \"$(sonaveld-cli pauses in.wav | paste -sd,)\"\n"
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
