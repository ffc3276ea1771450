#pragma once
#include <cstdint>

#include "document/WaveProbe.h"

namespace sonaveld {

// Where a file's samples lie and how play times in milliseconds map onto byte offsets.
// Standard C++ only, so that the arithmetic is tested without an audio library.
struct PcmLayout {
  int64_t dataOffset = 0;  // first sample byte
  int64_t dataEnd = 0;     // one past the last whole frame (a trailing partial frame is not played)
  int frameBytes = 0;      // bytes per sample frame in the file (1 to 32); 0 without a layout
  // Bytes per frame as the sink gets them: frameBytes, but 4 a sample for 24-bit files, whose
  // samples the stream widens to 32 bits, and two samples for files of more than two channels,
  // of which the stream picks two. Byte counts of the sink are in these units, offsets
  // in the file in frameBytes.
  int sinkFrameBytes = 0;
  int32_t sampleRate = 0;  // frames per second
  int channels = 0;        // samples per frame in the file (1 to 8)
  int sampleBytes = 0;     // bytes per sample in the file (1 to 4)

  // The layout of a probed file's sample area.
  static PcmLayout FromHeader(const WaveHeader& header);

  // True when the stream widens the samples on their way to the sink (24-bit files).
  bool Widens() const { return sampleBytes == 3; }
  // True when the stream picks two channels of each frame (files of more than two channels).
  bool Picks() const { return channels > 2; }
  // Whole frames between dataOffset and dataEnd.
  int64_t Frames() const;
  // Play length in ms: the frames' duration truncated toward zero, at most INT32_MAX.
  int32_t LengthMs() const;
  // Byte offset of the frame that plays at ms (clamped to 0..LengthMs), on a frame boundary,
  // never beyond dataEnd. The frame is ms × rate / 1000 truncated toward zero.
  int64_t ByteAtMs(int32_t ms) const;
  // Microseconds that file bytes of this layout take to play (whole frames only).
  int64_t BytesToMicroseconds(int64_t bytes) const;
};

// The play position in ms of a playback started at startMs after playedUs microseconds of
// sound were heard, clamped to 0..lengthMs.
int32_t PlayedPositionMs(int32_t startMs, int64_t playedUs, int32_t lengthMs);

}  // namespace sonaveld
