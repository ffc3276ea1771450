#include <cstdio>

#include "cli/CliMessages.h"
#include "cli/Commands.h"
#include "cli/ProgressLine.h"

namespace sonaveld::cli {

const char* UsageText() {
  return "usage:\n"
         "  sonaveld-cli info WAV [--json]\n"
         "  sonaveld-cli cut WAV -o OUT [MARKS] [--keep-head] [--exact] [--yes]\n"
         "  sonaveld-cli split WAV -o NAME [MARKS] [--keep-head] [--exact] [--yes]\n"
         "  sonaveld-cli split-marks WAV -o NAME [MARKS] [--exact] [--yes]\n"
         "    MARKS: --marks P1,P2,... | --marks-file TXT | --pauses [--below DB] [--min MS]\n"
         "  sonaveld-cli normalize [--mode peak|average] [--percent P] [--replace [--restore]]\n"
         "                         [--skip-existing] [--output-dir DIR] WAV...\n"
         "  sonaveld-cli pauses WAV [--below DB] [--min MS] [--write]\n"
         "  sonaveld-cli split-channels WAV -o NAME\n"
         "  sonaveld-cli --help | --version\n"
         "Every command also takes --quiet.\n"
         "\n"
         "Marks are sample-frame positions (1 = the first frame) or times: 1:30, 1:30.25, 0:01:30.250 and\n"
         "90.25s mark the frame playing then (seconds x rate, rounded down, + 1); a time past the end is\n"
         "refused. cut writes the selected ranges into OUT; split writes each selected range to NAME01.wav,\n"
         "NAME02.wav, ...; split-marks cuts the whole file at every mark into NAME00.wav, NAME01.wav, ...\n"
         "--keep-head keeps the stretch before the first mark.\n"
         "8/16-bit files are cut on a grid of 200-byte blocks (as the window does by default); --exact cuts\n"
         "them exactly at the marks, as 24/32-bit and float files always are.\n"
         "Every output states its own start time (bext, iXML) and holds only the cue points of its own\n"
         "frames, with their labels; loop, peak and checksum chunks of the source are left out.\n"
         "--yes answers Yes when the output's volume may be short of space.\n"
         "pauses prints a mark in the middle of every pause, one frame a line: a stretch of at least MS\n"
         "milliseconds (10..600000, default 1000) whose level stays below DB dBFS (-96..0, default -50),\n"
         "measured in windows of 10 ms; silence before the first and after the last sound gets none.\n"
         "--write records them as the WAV's mark list file (NAME.txt, at most 255) and prints its path.\n"
         "--pauses cuts at those marks in one command (with no pause found it says so, writes nothing):\n"
         "  sonaveld-cli split-marks in.wav -o piece --pauses --below -45 --min 1500\n"
         "normalize writes NAME-n.wav beside each WAV, or into DIR with --output-dir (not with --replace);\n"
         "--skip-existing leaves a WAV alone when its NAME-n.wav exists or when it is another one's.\n"
         "split-channels writes each channel as a mono file NAME_1.wav, NAME_2.wav, ... with the source's\n"
         "start time and cue points; a stop (Ctrl+C) keeps none of them.\n"
         "info --json prints the same keys as one JSON object on one line; an extensible file adds\n"
         "channel_mask.\n"
         "On a terminal, cut, split, split-marks, split-channels, normalize and pauses show a progress line on stderr;\n"
         "--quiet turns it off.\n"
         "Every file written is printed on stdout. Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";
}

void PrintMessage(const std::string& message) {
  ProgressLine::ClearActive();
  std::fprintf(stderr, "%s\n", message.c_str());
}

void PrintWritten(const std::string& path) {
  ProgressLine::ClearActive();
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);
}

int UsageError(const std::string& what) {
  std::fprintf(stderr, "sonaveld-cli: %s\n%s\n", what.c_str(), kMoreHelpLine);
  return kExitUsage;
}

}  // namespace sonaveld::cli
