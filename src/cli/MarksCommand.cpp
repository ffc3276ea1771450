// sonaveld-cli marks: a WAV's own markers printed, or marks converted between the formats that
// hold them (label file, cue sheet, mark list file).
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "cli/JsonText.h"
#include "cli/MarkSource.h"
#include "cli/WaveOperand.h"
#include "io/FileChecks.h"
#include "marks/CueSheet.h"
#include "marks/LabelFile.h"
#include "marks/MarkFiles.h"

namespace sonaveld::cli {
namespace {

enum class Format { kNone, kLabels, kCue, kTxt };

struct MarksArgs {
  std::string wave;
  MarkSourceArgs source;
  Format to = Format::kNone;
  std::string out;  // "" for stdout
  bool json = false;
  bool quiet = false;
};

// Parses "WAV [--json] | WAV --to labels|cue|txt [-o FILE] [mark source]"; an error text on wrong
// usage.
std::string ParseMarksArgs(const std::vector<std::string>& args, MarksArgs* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--to") && i + 1 >= args.size()) return a + " needs a value";
    if (const auto option = ParseMarkSourceOption(args, i, parsed->source)) {
      if (!option->empty()) return *option;
    } else if (a == "--to") {
      const std::string& to = args[++i];
      parsed->to = to == "labels" ? Format::kLabels : to == "cue" ? Format::kCue : to == "txt" ? Format::kTxt : Format::kNone;
      if (parsed->to == Format::kNone) return "--to must be labels, cue or txt";
    } else if (a == "-o") {
      parsed->out = args[++i];
    } else if (a == "--json") {
      parsed->json = true;
    } else if (a == "--quiet") {
      parsed->quiet = true;
    } else if (std::string error = TakeWaveOperand(a, parsed->wave); !error.empty()) {
      return error;
    }
  }
  if (parsed->wave.empty()) return "no WAV file";
  if (parsed->json && parsed->to != Format::kNone) return "--json and --to exclude each other";
  if (!parsed->out.empty() && parsed->to == Format::kNone) return "-o needs --to";
  return CheckMarkSource(parsed->source);
}

// One "frame<TAB>name" line per mark, or one JSON object per line.
void PrintMarks(const std::vector<NamedMark>& marks, bool json) {
  for (const NamedMark& mark : marks) {
    const auto frame = static_cast<long long>(mark.frame);
    if (json) std::printf("{\"frame\":%lld,\"name\":%s}\n", frame, JsonString(mark.name).c_str());
    else std::printf("%lld\t%s\n", frame, mark.name.c_str());
  }
}

// The text of set in the format, for the WAV at wavePath of rate; the cue sheet's rounding is said
// on stderr.
std::string Converted(const MarkSet& set, Format to, const std::string& wavePath, int32_t rate) {
  if (to == Format::kLabels) return LabelFileText(set.marks, rate);
  if (to == Format::kTxt) return MarkListText(FramesOf(set.marks));
  const std::string name = std::filesystem::path(wavePath).filename().string();
  const CueSheetText sheet = BuildCueSheet(set.marks, rate, name, set.piece0Name);
  if (sheet.largestShift > 0) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.1f", static_cast<double>(sheet.largestShift) * 1000.0 / rate);
    PrintMessage(FormatMessage(MessageId::kCueRounding, std::to_string(sheet.largestShift), ms));
  }
  return sheet.text;
}

}  // namespace

int RunMarks(const std::vector<std::string>& args) {
  MarksArgs parsed;
  if (std::string error = ParseMarksArgs(args, &parsed); !error.empty()) return UsageError(error);
  const OpenedWave wave = OpenWave(parsed.wave);
  if (!wave.source) return kExitRefused;
  const Result<MarkSet> loaded = LoadMarks(parsed.source, wave, parsed.wave, parsed.quiet);
  if (loaded.status.failed()) PrintMessage(loaded.status.message());
  if (!loaded.ok()) return kExitRefused;
  if (parsed.to == Format::kNone) {
    PrintMarks(loaded.value.marks, parsed.json);
    return kExitDone;
  }
  const std::string text = Converted(loaded.value, parsed.to, parsed.wave, wave.header.SampleRate);
  if (parsed.out.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
  }
  // The WAV itself is never overwritten by its marks.
  const Status written = IsSameFile(parsed.out, parsed.wave) ? Status::Fail(MessageId::kCannotCreate, parsed.out)
                                                             : WriteTextFile(parsed.out, text);
  if (!written.ok()) {
    PrintMessage(written.message());
    return kExitRefused;
  }
  PrintWritten(parsed.out);
  return kExitDone;
}

}  // namespace sonaveld::cli
