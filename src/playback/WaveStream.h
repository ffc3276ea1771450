#pragma once
#include <QIODevice>
#include <cstdint>
#include <memory>

#include "io/ByteSource.h"

namespace sonaveld {

// The sample bytes [begin, end) of a file as a read-only sequential device for an audio sink.
// Bytes are read from the source only when the sink asks, straight into the sink's buffer: no
// read-ahead, and the reads follow each other, so starting anywhere costs the one seek of the
// first read. Never reads at or beyond end.
class WaveStream final : public QIODevice {
  Q_OBJECT

 public:
  // Takes the source (the open file); begin and end are byte offsets, end clamped up to begin.
  // The stream is opened read-only and unbuffered at once.
  WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end,
             QObject* parent = nullptr);

  bool isSequential() const override { return true; }
  // Bytes left before end (no read is made to learn it).
  qint64 bytesAvailable() const override;
  // True once everything up to end was served, or a read failed.
  bool atEnd() const override;

  int64_t Offset() const { return offset_; }  // next byte to serve
  bool ReadFailed() const { return failed_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 maxSize) override;

 private:
  std::unique_ptr<ByteSource> source_;
  int64_t offset_;
  int64_t end_;
  bool failed_ = false;
};

}  // namespace sonaveld
