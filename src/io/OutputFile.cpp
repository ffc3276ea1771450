#include "io/OutputFile.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace sonaveld {
namespace fs = std::filesystem;
namespace {

// A fresh hidden name beside path.
std::string TempPathFor(const std::string& path) {
  static std::mt19937_64 random{std::random_device{}()};
  const fs::path target(path);
  const std::string name = "." + target.filename().string() + ".part-" + std::to_string(random() % 1000000007);
  return (target.parent_path() / name).string();
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& path, const SinkOpener& opener) {
  if (path.empty() || fs::is_directory(path)) return nullptr;
  if (!opener) {
    UnnamedFile unnamed = UnnamedFile::Create(fs::path(path).parent_path().string());
    if (unnamed.open()) {
      if (auto sink = StreamSink(unnamed.OpenStream())) {
        return std::unique_ptr<OutputFile>(new OutputFile(path, {}, std::move(sink), std::move(unnamed)));
      }
    }
  }
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string temp = TempPathFor(path);
    auto sink = opener ? opener(temp) : OpenFileSink(temp);
    if (sink) return std::unique_ptr<OutputFile>(new OutputFile(path, std::move(temp), std::move(sink), {}));
    std::error_code ec;
    if (!fs::exists(temp, ec)) return nullptr;  // not a name clash: the folder refuses
  }
  return nullptr;
}

OutputFile::OutputFile(std::string path, std::string tempPath, std::unique_ptr<ByteSink> sink, UnnamedFile unnamed)
    : path_(std::move(path)), tempPath_(std::move(tempPath)), sink_(std::move(sink)), unnamed_(std::move(unnamed)) {}

OutputFile::~OutputFile() {
  if (committed_) return;
  sink_.reset();
  if (tempPath_.empty()) return;  // an unnamed file goes with its descriptor
  std::error_code ec;
  fs::remove(tempPath_, ec);
}

bool OutputFile::Write(const void* data, int64_t n) {
  if (failed_) return false;
  if (!sink_->Write(data, n)) return !(failed_ = true);
  written_ += n;
  return true;
}

ByteSink::Copy OutputFile::CopyFrom(ByteSource& source, int64_t offset, int64_t n) {
  if (failed_) return ByteSink::Copy::kWriteFailed;
  const ByteSink::Copy copy = sink_->CopyFrom(source, offset, n);
  if (copy == ByteSink::Copy::kDone) written_ += n;
  if (copy == ByteSink::Copy::kWriteFailed || copy == ByteSink::Copy::kReadFailed) failed_ = true;
  return copy;
}

bool OutputFile::WriteU32At(int64_t offset, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return WriteAt(offset, bytes, 4);
}

bool OutputFile::WriteAt(int64_t offset, const void* data, int64_t n) {
  if (failed_) return false;
  if (!sink_->WriteAt(offset, data, n)) return !(failed_ = true);
  return true;
}

void OutputFile::Reserve(int64_t bytes) {
  if (!unnamed_.open() || failed_) return;
  // Counted as set aside even when refused: a refusal for want of space may have kept part of it.
  unnamed_.Reserve(bytes);
  reserved_ = bytes;
}

bool OutputFile::Commit() {
  if (committed_) return true;
  const bool closed = sink_->Close();
  sink_.reset();
  if (failed_ || !closed) return false;
  // An output stopped early (or planned too large) would keep the room it did not fill.
  if (reserved_ > written_ && !unnamed_.TrimTo(written_)) return false;
  if (unnamed_.open() && !LinkIntoPlace()) return false;
  if (!tempPath_.empty()) {
    std::error_code ec;
    fs::rename(tempPath_, path_, ec);
    if (ec) return false;
  }
  committed_ = true;
  return true;
}

bool OutputFile::LinkIntoPlace() {
  // A link never replaces a file, so with no file of that name it puts the whole output in place
  // in one step. An existing file is replaced by a rename, which needs a name to rename from: a
  // process killed between the link and the rename leaves that complete temporary file.
  if (unnamed_.Link(path_)) return true;
  if (errno != EEXIST) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string temp = TempPathFor(path_);
    if (unnamed_.Link(temp)) {
      tempPath_ = std::move(temp);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace sonaveld
