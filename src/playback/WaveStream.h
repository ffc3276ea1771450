#pragma once
#include <QIODevice>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "io/ByteSource.h"

namespace sonaveld {

// The sample bytes [begin, end) of a file as a read-only sequential device for an audio sink.
// Bytes are read from the source only when the sink asks, straight into the sink's buffer: no
// read-ahead, and the reads follow each other, so starting anywhere costs the one seek of the
// first read. Never reads at or beyond end. With Widening::k24To32 each 3-byte sample of the file
// reaches the sink as the 4-byte sample v << 8 (a low byte 0 in front): the sink's byte counts
// are then 4/3 of the file's. With a ChannelPick each frame of a file of more than two channels
// reaches the sink as a stereo frame of two of its samples (24-bit ones widened the same way); the
// frames are read into a buffer of the stream's own, as many as the sink asked for.
class WaveStream final : public QIODevice {
  Q_OBJECT

 public:
  enum class Widening { kNone, k24To32 };

  // The frame layout of the file and the two channels (0-based, below channels) that play.
  struct ChannelPick {
    int channels = 0;     // samples per file frame
    int sampleBytes = 0;  // bytes per file sample (1 to 4)
    int left = 0;
    int right = 0;
    bool widen = false;   // 24-bit samples reach the sink as v << 8
    int FileFrameBytes() const { return channels * sampleBytes; }
    int SinkFrameBytes() const { return 2 * (widen ? 4 : sampleBytes); }
  };

  // Takes the source (the open file); begin and end are byte offsets, end clamped up to begin
  // (and, when widening, down to whole samples). The stream is opened read-only and unbuffered
  // at once.
  WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end,
             Widening widening = Widening::kNone, QObject* parent = nullptr);
  // The stream of the picked channels of the frames in [begin, end) (end clamped down to whole
  // frames); pick must have 1 to 8 channels and sampleBytes 1 to 4.
  WaveStream(std::unique_ptr<ByteSource> source, int64_t begin, int64_t end, const ChannelPick& pick,
             QObject* parent = nullptr);

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
  // Reads n file frames and writes their picked samples to out; returns the sink bytes made
  // (whole frames only; 0 after a failed read).
  int64_t ReadPicked(uint8_t* out, int64_t n);
  qint64 ServePicked(char* data, qint64 maxSize);
  // Moves up to maxSize bytes of the sample (or picked frame) held back for a request smaller than it.
  qint64 TakeCarry(char* data, qint64 maxSize);

  std::unique_ptr<ByteSource> source_;
  int64_t offset_;
  int64_t end_;
  Widening widening_;
  bool failed_ = false;
  bool picking_ = false;
  ChannelPick pick_;
  std::vector<uint8_t> frames_;  // file frames read for picking
  // One widened sample or picked frame (carrySize_ bytes), of which the last carryLeft_ are unserved.
  std::array<uint8_t, 8> carry_{};
  int carrySize_ = 4;
  int carryLeft_ = 0;
};

}  // namespace sonaveld
