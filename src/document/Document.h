#pragma once
#include <cstdint>
#include <string>

#include "document/WaveProbe.h"

namespace sonaveld {

// The open file: its path, its header values and its play length.
struct FileFields {
  std::string WaveFileName;  // full path as chosen in the open dialog; empty: no document
  WaveHeader Header;         // FileSize, DataOffset, DataEnd, Channels, BitsPerSample, SampleRate, Kind
  int32_t PlayLength = 0;    // milliseconds, as the playback device reports it after opening
};

// The view onto the file. Positions are 1-based sample frames.
struct ViewFields {
  int64_t ViewStart = 0;  // frame drawn in column 1
  int32_t Zoom = 0;       // frames per pixel column, 1 or more while a document is open
  int32_t Column = 0;     // running column of the drawing loop (1..760)
  int32_t ViewWidth = 0;  // columns of the waveform, 760
  int64_t ViewEnd = 0;    // loop bound of a redraw
  int64_t ReadBase = 0;   // byte offset of the frame drawn in column 1
};

// The red cursor line.
struct CursorFields {
  int32_t LineX = 0;    // x pixel on the overlay
  int64_t LinePos = 0;  // frame at the line, 1 or more
};

// Flags of playback and of a running file creation (bytes holding 0 or 1), and the copy position.
struct CreationFlags {
  uint8_t TrackByTimer = 0;
  uint8_t StatusHeld = 0;
  uint8_t Busy = 0;
  uint8_t AbortRequested = 0;
  int64_t CopyPos = 0;  // byte position in the source of the block being copied
};

// Milliseconds to a frame and back, in extended precision, truncated toward zero.
int64_t MillisecondsToFrame(int64_t ms, int32_t sampleRate);
int64_t FrameToMilliseconds(int64_t frame, int32_t sampleRate);

}  // namespace sonaveld
