#include "playback/WaveStream.h"

#include <algorithm>
#include <cstring>

namespace sonaveld {
namespace {

constexpr int64_t kFileSample = 3;  // bytes of a 24-bit sample in the file
constexpr int64_t kSinkSample = 4;  // and as the sink gets it
constexpr int64_t kPickFrames = 4096;  // most file frames read at once for picking

// Copies one file sample of `bytes` bytes to out, widened to 4 bytes (a low byte 0 in front).
uint8_t* PutSample(const uint8_t* in, int bytes, bool widen, uint8_t* out) {
  if (widen) *out++ = 0;
  std::memcpy(out, in, static_cast<size_t>(bytes));
  return out + bytes;
}

}  // namespace

WaveStream::WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end, Widening widening,
                       QObject* parent)
    : QIODevice(parent), source_(std::move(source)), offset_(begin), end_(std::max(begin, end)), widening_(widening) {
  if (widening_ == Widening::k24To32) end_ = begin + (end_ - begin) / kFileSample * kFileSample;
  // Unbuffered: QIODevice would otherwise read ahead into a buffer of its own.
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

WaveStream::WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end, const ChannelPick& pick,
                       QObject* parent)
    : QIODevice(parent),
      source_(std::move(source)),
      offset_(begin),
      end_(std::max(begin, end)),
      widening_(Widening::kNone),
      picking_(true),
      pick_(pick),
      carrySize_(pick.SinkFrameBytes()) {
  end_ = begin + (end_ - begin) / pick_.FileFrameBytes() * pick_.FileFrameBytes();
  open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 WaveStream::bytesAvailable() const {
  int64_t left = failed_ ? 0 : end_ - offset_;
  if (widening_ == Widening::k24To32 && !failed_) left = left / kFileSample * kSinkSample + carryLeft_;
  if (picking_ && !failed_) left = left / pick_.FileFrameBytes() * pick_.SinkFrameBytes() + carryLeft_;
  return left + QIODevice::bytesAvailable();
}

bool WaveStream::atEnd() const { return failed_ || (offset_ >= end_ && carryLeft_ == 0); }

qint64 WaveStream::readData(char* data, qint64 maxSize) {
  if (atEnd() || maxSize <= 0) return 0;
  if (widening_ == Widening::k24To32) return ServeWidened(data, maxSize);
  if (picking_) return ServePicked(data, maxSize);
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

// Whole picked frames go into the sink's buffer, a chunk of file frames at a time; a request that
// ends inside a frame gets its first bytes, and the rest waits in the carry.
qint64 WaveStream::ServePicked(char* data, qint64 maxSize) {
  qint64 served = TakeCarry(data, maxSize);
  const int64_t fileFrame = pick_.FileFrameBytes(), sinkFrame = pick_.SinkFrameBytes();
  int64_t whole = std::min<int64_t>((maxSize - served) / sinkFrame, (end_ - offset_) / fileFrame);
  while (whole > 0) {
    const int64_t n = std::min(whole, kPickFrames);
    const int64_t made = ReadPicked(reinterpret_cast<uint8_t*>(data + served), n);
    served += made;
    if (made < n * sinkFrame) return served;  // short or failed read
    whole -= n;
  }
  if (served < maxSize && offset_ < end_ && ReadPicked(carry_.data(), 1) == sinkFrame) {
    carryLeft_ = static_cast<int>(sinkFrame);
    served += TakeCarry(data + served, maxSize - served);
  }
  return served;
}

int64_t WaveStream::ReadPicked(uint8_t* out, int64_t n) {
  const int64_t fileFrame = pick_.FileFrameBytes();
  frames_.resize(static_cast<size_t>(std::max<int64_t>(n * fileFrame, static_cast<int64_t>(frames_.size()))));
  const int64_t frames = std::max<int64_t>(source_->ReadAt(offset_, frames_.data(), n * fileFrame), 0) / fileFrame;
  if (frames == 0) {
    failed_ = true;  // not one whole frame: the file failed or shrank
    return 0;
  }
  const int bytes = pick_.sampleBytes;
  uint8_t* at = out;
  for (int64_t f = 0; f < frames; ++f) {
    const uint8_t* frame = frames_.data() + f * fileFrame;
    at = PutSample(frame + pick_.left * bytes, bytes, pick_.widen, at);
    at = PutSample(frame + pick_.right * bytes, bytes, pick_.widen, at);
  }
  offset_ += frames * fileFrame;
  return frames * pick_.SinkFrameBytes();
}

qint64 WaveStream::TakeCarry(char* data, qint64 maxSize) {
  const qint64 n = std::min<qint64>(carryLeft_, maxSize);
  std::memcpy(data, carry_.data() + (carrySize_ - carryLeft_), static_cast<size_t>(n));
  carryLeft_ -= static_cast<int>(n);
  return n;
}

qint64 WaveStream::writeData(const char*, qint64) { return -1; }

}  // namespace sonaveld
