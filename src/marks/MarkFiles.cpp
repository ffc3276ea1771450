#include "marks/MarkFiles.h"

#include <algorithm>

#include "io/ByteSource.h"
#include "io/OutputFile.h"
#include "marks/CueSheet.h"
#include "marks/LabelFile.h"

namespace sonaveld {

Result<std::string> ReadTextFile(const std::string& path) {
  const auto in = FileSource::Open(path);
  if (!in) return {Status::Fail(MessageId::kCannotOpen, path), {}};
  const int64_t size = in->Size();
  std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (size < 0 || in->ReadAt(0, text.data(), size) != size) return {Status::Fail(MessageId::kCannotRead, path), {}};
  return {Status::Ok(), std::move(text)};
}

Status WriteTextFile(const std::string& path, std::string_view text) {
  auto out = OutputFile::Create(path);
  if (!out) return Status::Fail(MessageId::kCannotCreate, path);
  if (!out->Write(text.data(), static_cast<int64_t>(text.size())) || !out->Commit()) {
    return Status::Fail(MessageId::kCannotWrite, path);
  }
  return Status::Ok();
}

Result<MarkSet> ReadLabelFile(const std::string& path, int32_t rate) {
  const Result<std::string> text = ReadTextFile(path);
  if (!text.ok()) return {text.status, {}};
  return ParseLabelFile(text.value, rate);
}

Result<MarkSet> ReadCueSheetFile(const std::string& path, int32_t rate, const std::string& wavePath) {
  const Result<std::string> text = ReadTextFile(path);
  if (!text.ok()) return {text.status, {}};
  return ParseCueSheet(text.value, rate, wavePath);
}

}  // namespace sonaveld
