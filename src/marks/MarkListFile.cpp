#include "marks/MarkListFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

#include "io/ByteSource.h"
#include "io/FileNames.h"
#include "io/OutputFile.h"

namespace sonaveld {
namespace fs = std::filesystem;
namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The whole number a line holds (64-bit, optional sign, surrounding blanks); nullopt for anything else.
std::optional<int64_t> ParseInteger(std::string_view text) {
  text = Trim(text);
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
  const std::string listPath = MarkListFileName(wavePath);
  auto out = OutputFile::Create(listPath);
  if (!out) return Status::Fail(MessageId::kCannotCreate, listPath);
  std::string text;
  for (const auto& line : marks.Memo2()) text += line + "\r\n";
  if (!out->Write(text.data(), static_cast<int64_t>(text.size())) || !out->Commit()) {
    return Status::Fail(MessageId::kCannotWrite, listPath);
  }
  return Status::Ok();
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
  // A folder, a FIFO or a device of that name is refused at once, without waiting on it.
  const auto in = FileSource::Open(listPath);
  if (!in) return Status::Fail(MessageId::kCannotOpen, listPath);
  const int64_t size = in->Size();
  std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (size < 0 || in->ReadAt(0, text.data(), size) != size) return Status::Fail(MessageId::kCannotRead, listPath);
  MarkListParse parse = ParseMarkList(text);
  if (!parse.status.ok()) return parse.status;
  marks.ReplaceAll(parse.marks);
  return Status::Ok();
}

Status ReadMarkListFile(const std::string& wavePath, MarkStore& marks) {
  return ReadMarkListFrom(MarkListFileName(wavePath), marks);
}

}  // namespace sonaveld
