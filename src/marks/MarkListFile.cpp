#include "marks/MarkListFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

#include "io/FileNames.h"
#include "marks/MarkFiles.h"
#include "marks/TextLines.h"

namespace sonaveld {
namespace fs = std::filesystem;
namespace {

// The whole number a line holds (64-bit, optional sign, surrounding blanks); nullopt for anything else.
std::optional<int64_t> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string MarkListFileName(const std::string& wavePath) {
  return PathWithoutExtension(wavePath).value_or(wavePath) + ".txt";
}

Status WriteMarkListFile(const std::string& wavePath, const MarkStore& marks) {
  if (marks.Count() == 0) return Status::Fail(MessageId::kNoMarkPoints);
  return WriteTextFile(MarkListFileName(wavePath), MarkListText(marks.Sorted()));
}

MarkListParse ParseMarkList(std::string_view text) {
  MarkListParse result;
  for (std::string_view line : SplitLines(text)) {
    const std::optional<int64_t> value = ParseInteger(line);
    if (!value || *value < 1) {
      return {Status::Fail(value ? MessageId::kNotMarkPosition : MessageId::kNotInteger, line), {}};
    }
    result.marks.push_back(*value);
  }
  std::sort(result.marks.begin(), result.marks.end());
  result.marks.erase(std::unique(result.marks.begin(), result.marks.end()), result.marks.end());
  if (result.marks.size() > static_cast<size_t>(MarkStore::kMaxMarks)) {
    result.status = Status::Fail(MessageId::kTooManyMarks);
    result.marks.clear();
  }
  return result;
}

Status ReadMarkListFrom(const std::string& listPath, MarkStore& marks) {
  std::error_code ec;
  if (!fs::exists(listPath, ec)) return Status::Fail(MessageId::kNoMarkFile);
  const Result<std::string> text = ReadTextFile(listPath);
  if (!text.ok()) return text.status;
  MarkListParse parse = ParseMarkList(text.value);
  if (!parse.status.ok()) return parse.status;
  marks.ReplaceAll(parse.marks);
  return Status::Ok();
}

Status ReadMarkListFile(const std::string& wavePath, MarkStore& marks) {
  return ReadMarkListFrom(MarkListFileName(wavePath), marks);
}

}  // namespace sonaveld
