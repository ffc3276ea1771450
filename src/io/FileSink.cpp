#include "io/FileSink.h"

#include "io/KernelCopy.h"

namespace sonaveld {
namespace {

class FileSink final : public ByteSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  ~FileSink() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  bool Write(const void* data, int64_t n) override {
    return n == 0 || std::fwrite(data, 1, static_cast<size_t>(n), file_) == static_cast<size_t>(n);
  }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    const bool ok = Write(data, n);
    return std::fseek(file_, 0, SEEK_END) == 0 && ok;
  }
  Copy CopyFrom(ByteSource& source, int64_t offset, int64_t n) override {
    auto* file = dynamic_cast<FileSource*>(&source);
    if (file == nullptr) return Copy::kUnsupported;
    const Copy copy = KernelCopy(file->stream(), offset, file_, n);
    if (copy == Copy::kDone) std::fseek(file_, 0, SEEK_END);  // keep the stream at the end
    return copy;
  }
  bool Close() override {
    const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok && closed;
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::unique_ptr<ByteSink> StreamSink(std::FILE* file) {
  if (file == nullptr) return nullptr;
  std::setvbuf(file, nullptr, _IONBF, 0);
  return std::make_unique<FileSink>(file);
}

std::unique_ptr<ByteSink> OpenFileSink(const std::string& tempPath) {
  return StreamSink(std::fopen(tempPath.c_str(), "wbx"));
}

}  // namespace sonaveld
