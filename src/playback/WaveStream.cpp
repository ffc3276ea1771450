#include "playback/WaveStream.h"

#include <algorithm>
#include <cstring>

namespace sonaveld {
namespace {

constexpr int64_t kFileSample = 3;  // bytes of a 24-bit sample in the file
constexpr int64_t kSinkSample = 4;  // and as the sink gets it

}  // namespace

WaveStream::WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end, Widening widening,
                       QObject* parent)
    : QIODevice(parent), source_(std::move(source)), offset_(begin), end_(std::max(begin, end)), widening_(widening) {
  if (widening_ == Widening::k24To32) end_ = begin + (end_ - begin) / kFileSample * kFileSample;
  // Unbuffered: QIODevice would otherwise read ahead into a buffer of its own.
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 WaveStream::bytesAvailable() const {
  int64_t left = failed_ ? 0 : end_ - offset_;
  if (widening_ == Widening::k24To32 && !failed_) left = left / kFileSample * kSinkSample + carryLeft_;
  return left + QIODevice::bytesAvailable();
}

bool WaveStream::atEnd() const { return failed_ || (offset_ >= end_ && carryLeft_ == 0); }

qint64 WaveStream::readData(char* data, qint64 maxSize) {
  if (atEnd() || maxSize <= 0) return 0;
  if (widening_ == Widening::k24To32) return ServeWidened(data, maxSize);
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

// Whole samples go straight into the sink's buffer; a request that ends inside a sample gets its
// first bytes, and the rest waits in the carry for the next request.
qint64 WaveStream::ServeWidened(char* data, qint64 maxSize) {
  qint64 served = TakeCarry(data, maxSize);
  const int64_t whole = std::min<int64_t>((maxSize - served) / kSinkSample, (end_ - offset_) / kFileSample);
  if (whole > 0) {
    const int64_t made = ReadWidened(reinterpret_cast<uint8_t*>(data + served), whole);
    served += made;
    if (made < whole * kSinkSample) return served;  // short or failed read
  }
  if (served < maxSize && offset_ < end_ && ReadWidened(carry_.data(), 1) == kSinkSample) {
    carryLeft_ = kSinkSample;
    served += TakeCarry(data + served, maxSize - served);
  }
  return served;
}

int64_t WaveStream::ReadWidened(uint8_t* out, int64_t n) {
  // The file's bytes land in the last 3n of the 4n bytes; widening from the front never
  // overwrites a sample not yet moved (sample i is written to [4i, 4i + 4), read from n + 3i).
  const uint8_t* in = out + n;
  const int64_t got = source_->ReadAt(offset_, out + n, n * kFileSample);
  if (got < kFileSample) {
    // Not one whole sample: the file failed or shrank; the stream ends as in the plain case.
    failed_ = true;
    return 0;
  }
  const int64_t samples = got / kFileSample;
  for (int64_t i = 0; i < samples; ++i) {
    const uint8_t b0 = in[3 * i], b1 = in[3 * i + 1], b2 = in[3 * i + 2];
    out[4 * i] = 0;
    out[4 * i + 1] = b0;
    out[4 * i + 2] = b1;
    out[4 * i + 3] = b2;
  }
  offset_ += samples * kFileSample;
  return samples * kSinkSample;
}

qint64 WaveStream::TakeCarry(char* data, qint64 maxSize) {
  const qint64 n = std::min<qint64>(carryLeft_, maxSize);
  std::memcpy(data, carry_.data() + (kSinkSample - carryLeft_), static_cast<size_t>(n));
  carryLeft_ -= static_cast<int>(n);
  return n;
}

qint64 WaveStream::writeData(const char*, qint64) { return -1; }

}  // namespace sonaveld
