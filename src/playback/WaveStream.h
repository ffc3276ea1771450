#pragma once
#include <QIODevice>
#include <array>
#include <cstdint>
#include <memory>

#include "io/ByteSource.h"

namespace sonaveld {

// The sample bytes [begin, end) of a file as a read-only sequential device for an audio sink.
// Bytes are read from the source only when the sink asks, straight into the sink's buffer: no
// read-ahead, and the reads follow each other, so starting anywhere costs the one seek of the
// first read. Never reads at or beyond end. With Widening::k24To32 each 3-byte sample of the file
// reaches the sink as the 4-byte sample v << 8 (a low byte 0 in front): the sink's byte counts
// are then 4/3 of the file's.
class WaveStream final : public QIODevice {
  Q_OBJECT

 public:
  enum class Widening { kNone, k24To32 };

  // Takes the source (the open file); begin and end are byte offsets, end clamped up to begin
  // (and, when widening, down to whole samples). The stream is opened read-only and unbuffered
  // at once.
  WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end,
             Widening widening = Widening::kNone, QObject* parent = nullptr);

  bool isSequential() const override { return true; }
  // Bytes left to serve, as the sink counts them (no read is made to learn it).
  qint64 bytesAvailable() const override;
  // True once everything up to end was served, or a read failed.
  bool atEnd() const override;

  int64_t Offset() const { return offset_; }  // next file byte to read
  bool ReadFailed() const { return failed_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 maxSize) override;

 private:
  // Reads n 3-byte samples into the tail of out and widens them in place to 4n bytes; returns
  // the sink bytes made (whole samples only; 0 after a failed read).
  int64_t ReadWidened(uint8_t* out, int64_t n);
  qint64 ServeWidened(char* data, qint64 maxSize);
  // Moves up to maxSize bytes of the sample held back for a request of less than 4 bytes.
  qint64 TakeCarry(char* data, qint64 maxSize);

  std::unique_ptr<ByteSource> source_;
  int64_t offset_;
  int64_t end_;
  Widening widening_;
  bool failed_ = false;
  std::array<uint8_t, 4> carry_{};  // one widened sample, of which the last carryLeft_ bytes are unserved
  int carryLeft_ = 0;
};

}  // namespace sonaveld
