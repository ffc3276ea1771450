#include "playback/WaveStream.h"

#include <algorithm>

namespace sonaveld {

WaveStream::WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end,
                       QObject* parent)
    : QIODevice(parent), source_(std::move(source)), offset_(begin), end_(std::max(begin, end)) {
  // Unbuffered: QIODevice would otherwise read ahead into a buffer of its own.
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 WaveStream::bytesAvailable() const {
  const int64_t left = failed_ ? 0 : end_ - offset_;
  return left + QIODevice::bytesAvailable();
}

bool WaveStream::atEnd() const { return failed_ || offset_ >= end_; }

qint64 WaveStream::readData(char* data, qint64 maxSize) {
  if (atEnd() || maxSize <= 0) return 0;
  const int64_t want = std::min<int64_t>(maxSize, end_ - offset_);
  const int64_t got = source_->ReadAt(offset_, data, want);
  if (got <= 0) {
    // A failed or short file ends the stream: the sink plays out what it has and goes idle.
    failed_ = true;
    return 0;
  }
  offset_ += got;
  return got;
}

qint64 WaveStream::writeData(const char*, qint64) { return -1; }

}  // namespace sonaveld
