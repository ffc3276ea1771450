#include <cstdio>

#include "cli/CliMessages.h"
#include "cli/Commands.h"
#include "cli/ProgressLine.h"

namespace sonaveld::cli {

const char* UsageText() {
  return "usage:\n"
         "  sonaveld-cli info WAV [--json]\n"
         "  sonaveld-cli cut WAV -o OUT [MARKS] [--keep-head] [--exact] [--yes]\n"
         "  sonaveld-cli split WAV -o NAME [MARKS] [--keep-head] [--exact] [--names] [--yes]\n"
         "  sonaveld-cli split-marks WAV -o NAME [MARKS] [--exact] [--names] [--yes]\n"
         "  sonaveld-cli mark WAV -o OUT MARKS [--yes]\n"
         "  sonaveld-cli marks WAV [--json]\n"
         "  sonaveld-cli marks WAV --to labels|cue|txt [-o FILE] [MARKS]\n"
         "    MARKS (one of): --marks P1,P2,... | --marks-file TXT | --labels FILE | --cue FILE |\n"
         "                    --cue-marks | --pauses [--below DB] [--min MS]\n"
         "  sonaveld-cli normalize [--mode peak|average] [--percent P] [--linked] [--replace [--restore]]\n"
         "                         [--skip-existing] [--output-dir DIR] [--report FILE] [--files-from -|FILE]\n"
         "                         WAV...\n"
         "  sonaveld-cli normalize --mode loudness [--target LUFS] [--true-peak DBTP] [--preset NAME]\n"
         "                         [--album] [--dual-mono] [--dither] [--jobs N] [--report FILE]\n"
         "                         [--files-from -|FILE] [--replace [--restore]] [--skip-existing]\n"
         "                         [--output-dir DIR] WAV...\n"
         "  sonaveld-cli pauses WAV [--below DB] [--min MS] [--write]\n"
         "  sonaveld-cli loudness [--json] [--dual-mono] WAV...\n"
         "  sonaveld-cli join -o OUT WAV WAV... [--yes]\n"
         "  sonaveld-cli split-channels WAV -o NAME [--yes]\n"
         "  sonaveld-cli --help | --version\n"
         "Every command also takes --quiet.\n"
         "\n"
         "Marks are sample-frame positions (1 = the first frame) or times: 1:30, 1:30.25, 0:01:30.250 and\n"
         "90.25s mark the frame playing then (seconds x rate, rounded down, + 1); a time past the end is\n"
         "refused. cut writes the selected ranges into OUT; split writes each selected range to NAME01.wav,\n"
         "NAME02.wav, ...; split-marks cuts the whole file at every mark into NAME00.wav, NAME01.wav, ...\n"
         "--keep-head keeps the stretch before the first mark.\n"
         "--names names a piece whose starting mark has a name NAMEnn <name>.wav, with the name as its title.\n"
         "--labels reads an Audacity label file (start<TAB>end<TAB>name, seconds; a region gives a mark at\n"
         "each end), --cue a cue sheet (each TRACK's INDEX 01, named by its TITLE), --cue-marks the WAV's\n"
         "own markers (its cue points, named by their labels).\n"
         "marks prints the WAV's markers, one frame<TAB>name line each (--json: one {\"frame\":N,\"name\":\"...\"}\n"
         "a line); with --to it writes marks (the WAV's own without MARKS) as a label file, a cue sheet\n"
         "(times in 75ths of a second: how far that moved the marks is said) or a mark list, to FILE or\n"
         "stdout. mark copies the whole WAV into OUT with the marks as its markers (cue points and labels\n"
         "after the samples, its own markers replaced, every other byte as it was).\n"
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
         "join writes the files one after another into OUT (same bits, rate and channels, else nothing is\n"
         "written), with the first file's header chunks and the cue points of all; past 4 GiB OUT is RF64.\n"
         "--linked gives all channels one gain, the smallest of their gains, so the balance stays.\n"
         "--mode loudness gives each WAV one plain gain to the integrated loudness --target (-70..-5 LUFS,\n"
         "default -23), held back where the true peak would pass --true-peak (-9..0 dBTP, default -1);\n"
         "the file is then \"limited\". --preset: ebu (-23/-1), atsc (-24/-2), podcast (-16/-1),\n"
         "streaming (-14/-1), replaygain (-18/-1); --target and --true-peak given as well win. A WAV with\n"
         "no block above -70 LUFS is left unchanged. --album: one gain for the whole list, from all files'\n"
         "loudness together and the loudest true peak. --dual-mono counts a mono channel twice. --dither\n"
         "adds triangular dither of +-1 LSB (the same bytes every run). --jobs N: files at once (default:\n"
         "the processors); messages, paths and report rows stay in list order.\n"
         "--report FILE writes one row a file, CSV (.csv) or JSON Lines (.jsonl): file, output,\n"
         "integrated_lufs, lra_lu, true_peak_dbtp, gain_db, limited, output_integrated_lufs,\n"
         "output_true_peak_dbtp (the output measured again), status (ok, unchanged, refused, failed,\n"
         "stopped), message; peak and average reports add level_left_dbfs, level_right_dbfs,\n"
         "gain_right_db, clipped_left, clipped_right. --files-from reads more WAVs, one a line, from\n"
         "FILE or from stdin (-).\n"
         "info --json prints the same keys as one JSON object on one line; an extensible file adds\n"
         "channel_mask.\n"
         "loudness measures each WAV (EBU R128 / ITU-R BS.1770-4) and prints one line a file, in order:\n"
         "  FILE<TAB>I -23.0 LUFS  LRA 5.2 LU  M -18.1 LUFS  S -20.4 LUFS  SP -3.1 dBFS  TP -2.9 dBTP  nonfinite 0\n"
         "integrated loudness, loudness range, maximum momentary and short-term loudness, sample peak,\n"
         "true peak and the float samples that were not finite (measured as 0); \"-inf\" where a file has\n"
         "no block above -70 LUFS. --json prints one object a line with the keys file, integrated_lufs,\n"
         "lra_lu, momentary_max_lufs, short_term_max_lufs, sample_peak_dbfs, true_peak_dbtp and\n"
         "nonfinite_samples (null for \"-inf\"). --dual-mono counts a mono file's channel twice. A refused\n"
         "file gets its message and the others are still measured (exit status 1).\n"
         "split-channels writes each channel as a mono file NAME_1.wav, NAME_2.wav, ... with the source's\n"
         "start time and cue points; a stop (Ctrl+C) keeps none of them.\n"
         "On a terminal, cut, split, split-marks, split-channels, mark, join, normalize, pauses and loudness\n"
         "show a progress line on stderr; --quiet turns it off.\n"
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
