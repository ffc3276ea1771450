#include "marks/CueSheet.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "marks/TextLines.h"

namespace sonaveld {
namespace {

constexpr int64_t kCueFramesPerSecond = 75;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

// A command's word: letters, digits and '_' only. Those that give no mark (REM, PERFORMER, FLAGS,
// PREGAP, the CD-TEXT fields and any a writer adds) are passed over.
bool IsCommandWord(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// The first blank-separated word of text, text moved past it and the blanks after it.
std::string_view NextWord(std::string_view& text) {
  const size_t end = std::min(text.find_first_of(" \t"), text.size());
  const std::string_view word = text.substr(0, end);
  text = TrimBlanks(text.substr(end));
  return word;
}

// A quoted text ("…", to the next quote or, unclosed, the line's end) or a bare one (up to the last
// blank when more than one word follows and wordAfter, else all of it); nullopt for nothing at all.
std::optional<std::string> QuotedOrBare(std::string_view text, bool wordAfter) {
  if (text.starts_with('"')) {
    const size_t close = text.find('"', 1);
    return std::string(text.substr(1, close == std::string_view::npos ? close : close - 1));
  }
  if (wordAfter) {
    const size_t last = text.find_last_of(" \t");
    if (last != std::string_view::npos) text = TrimBlanks(text.substr(0, last));
  }
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

bool AllDigits(std::string_view s, size_t minDigits, size_t maxDigits) {
  return s.size() >= minDigits && s.size() <= maxDigits &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int64_t Number(std::string_view digits) {
  int64_t value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// "mm:ss:ff" (mm up to 7 digits, ss below 60, ff below 75) as the 0-based frame at rate.
std::optional<int64_t> IndexFrame(std::string_view time, int32_t rate) {
  const size_t first = time.find(':'), second = time.rfind(':');
  if (first == std::string_view::npos || first == second) return std::nullopt;
  const std::string_view mm = time.substr(0, first), ss = time.substr(first + 1, second - first - 1),
                         ff = time.substr(second + 1);
  if (!AllDigits(mm, 1, 7) || !AllDigits(ss, 2, 2) || !AllDigits(ff, 2, 2)) return std::nullopt;
  if (Number(ss) >= 60 || Number(ff) >= kCueFramesPerSecond) return std::nullopt;
  return (Number(mm) * 60 + Number(ss)) * rate + Number(ff) * rate / kCueFramesPerSecond;
}

// The file name of a path written with '/' or '\'.
std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A TRACK as read so far.
struct Track {
  std::optional<int64_t> start;  // its first INDEX 01, 0-based
  std::string title;
};

// Reads the sheet line by line into the tracks of its first FILE.
class SheetReader {
 public:
  SheetReader(int32_t rate, std::string_view waveFileName) : rate_(rate), wave_(BaseName(waveFileName)) {}

  // False when the line is refused; done() once a second FILE ends the reading.
  bool Line(std::string_view line) {
    std::string_view rest = TrimBlanks(line);
    if (rest.empty()) return true;
    const std::string_view word = NextWord(rest);
    if (SameWord(word, "FILE")) return File(rest);
    if (SameWord(word, "TRACK")) return TrackLine(rest);
    if (SameWord(word, "INDEX")) return Index(rest);
    if (SameWord(word, "TITLE")) return Title(rest);
    return IsCommandWord(word);
  }
  bool done() const { return done_; }
  const std::vector<Track>& tracks() const { return tracks_; }
  std::vector<std::string>& warnings() { return warnings_; }

 private:
  bool File(std::string_view rest) {
    if (sawFile_) {
      done_ = true;
      return true;
    }
    sawFile_ = true;
    const std::optional<std::string> name = QuotedOrBare(rest, true);
    if (!name) return false;
    if (!SameWord(BaseName(*name), wave_)) warnings_.push_back(FormatMessage(MessageId::kCueOtherFile, *name));
    return true;
  }
  bool TrackLine(std::string_view rest) {
    if (!AllDigits(NextWord(rest), 1, 3)) return false;
    tracks_.emplace_back();
    return true;
  }
  bool Index(std::string_view rest) {
    const std::string_view number = NextWord(rest);
    if (tracks_.empty() || !AllDigits(number, 1, 3)) return false;
    const std::optional<int64_t> frame = IndexFrame(NextWord(rest), rate_);
    if (!frame || !rest.empty()) return false;
    if (Number(number) == 1 && !tracks_.back().start) tracks_.back().start = *frame;
    return true;
  }
  bool Title(std::string_view rest) {
    const std::optional<std::string> title = QuotedOrBare(rest, false);
    if (!title) return true;  // TITLE alone: no title
    if (!tracks_.empty()) tracks_.back().title = *title;  // before the first TRACK: the disc's
    return true;
  }

  int32_t rate_;
  std::string_view wave_;
  std::vector<Track> tracks_;
  std::vector<std::string> warnings_;
  bool sawFile_ = false;
  bool done_ = false;
};

// A name as a cue sheet can hold it: in quotes, on one line.
std::string CueText(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c == '"') c = '\'';
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

void AppendTrack(std::string& text, size_t number, std::string_view title, int64_t c) {
  char line[96];
  std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\r\n", number);
  text += line;
  if (!title.empty()) text += "    TITLE \"" + CueText(title) + "\"\r\n";
  std::snprintf(line, sizeof line, "    INDEX 01 %02lld:%02lld:%02lld\r\n", static_cast<long long>(c / 4500),
                static_cast<long long>(c / kCueFramesPerSecond % 60), static_cast<long long>(c % kCueFramesPerSecond));
  text += line;
}

}  // namespace

Result<MarkSet> ParseCueSheet(std::string_view text, int32_t rate, std::string_view waveFileName) {
  SheetReader reader(rate, waveFileName);
  const std::vector<std::string_view> lines = SplitLines(text, true);
  for (size_t i = 0; i < lines.size() && !reader.done(); ++i) {
    if (!reader.Line(lines[i])) return {Status::Fail(MessageId::kBadCueLine, std::to_string(i + 1)), {}};
  }
  if (reader.tracks().empty()) return {Status::Fail(MessageId::kNoCueTracks), {}};
  MarkSet set;
  std::vector<NamedMark> marks;
  for (const Track& track : reader.tracks()) {
    if (!track.start) continue;
    if (*track.start == 0) {
      if (set.piece0Name.empty()) set.piece0Name = track.title;
    } else {
      marks.push_back({*track.start + 1, track.title});
    }
  }
  Result<std::vector<NamedMark>> tidy = TidyMarks(std::move(marks));
  if (!tidy.ok()) return {tidy.status, {}};
  set.marks = std::move(tidy.value);
  set.warnings = std::move(reader.warnings());
  return {Status::Ok(), std::move(set)};
}

CueSheetText BuildCueSheet(const std::vector<NamedMark>& marks, int32_t rate, std::string_view waveName,
                           std::string_view piece0Name) {
  CueSheetText sheet;
  sheet.text = "FILE \"" + CueText(waveName) + "\" WAVE\r\n";
  size_t number = 1;
  if (marks.empty() || marks.front().frame != 1) AppendTrack(sheet.text, number++, piece0Name, 0);
  for (const NamedMark& mark : marks) {
    const int64_t seconds = (mark.frame - 1) / rate, rest = (mark.frame - 1) % rate;
    const int64_t ff = rest * kCueFramesPerSecond / rate;
    AppendTrack(sheet.text, number++, mark.name, seconds * kCueFramesPerSecond + ff);
    sheet.largestShift = std::max(sheet.largestShift, rest - ff * rate / kCueFramesPerSecond);
  }
  return sheet;
}

}  // namespace sonaveld
