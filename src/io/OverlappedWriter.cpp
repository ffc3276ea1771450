#include "io/OverlappedWriter.h"

#include <system_error>

namespace sonaveld {

OverlappedWriter::OverlappedWriter(OutputFile& output, int64_t bufferBytes)
    : output_(output),
      buffers_{std::vector<uint8_t>(static_cast<size_t>(bufferBytes)), std::vector<uint8_t>(static_cast<size_t>(bufferBytes))} {
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had: Submit() writes each buffer itself.
  }
}

OverlappedWriter::~OverlappedWriter() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void OverlappedWriter::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return job_ != nullptr || quit_; });
    if (job_ == nullptr) return;  // quit with nothing left to write
    const uint8_t* data = job_;
    const int64_t n = jobBytes_;
    lock.unlock();
    const bool ok = output_.Write(data, n);
    lock.lock();
    failed_ = failed_ || !ok;
    job_ = nullptr;
    changed_.notify_all();
  }
}

void OverlappedWriter::WaitIdle(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return job_ == nullptr; });
}

bool OverlappedWriter::Submit(int64_t n) {
  std::unique_lock<std::mutex> lock(mutex_);
  WaitIdle(lock);
  if (failed_ || n <= 0) return !failed_;
  if (!worker_.joinable()) {
    failed_ = !output_.Write(buffers_[filling_].data(), n);
    return !failed_;
  }
  job_ = buffers_[filling_].data();
  jobBytes_ = n;
  filling_ = 1 - filling_;
  changed_.notify_all();
  return true;
}

bool OverlappedWriter::Drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  WaitIdle(lock);
  return !failed_;
}

}  // namespace sonaveld
