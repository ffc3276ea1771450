#pragma once
#include <cstdint>

namespace sonaveld {

// The sample layouts the system handles, numbered as the normalizer numbers them too. Kinds 1 to
// 4 are the 8/16-bit files; kinds 5 to 10 the 24-bit and 32-bit integer and 32-bit float files.
enum class FormatKind : uint8_t {
  kNone = 0,
  kStereo16 = 1,
  kMono16 = 2,
  kStereo8 = 3,
  kMono8 = 4,
  kStereo24 = 5,
  kMono24 = 6,
  kStereo32 = 7,
  kMono32 = 8,
  kStereoFloat = 9,
  kMonoFloat = 10,
};

// How one sample is stored, decided by the format tag and the bits per sample.
enum class SampleEncoding : uint8_t {
  kNone = 0,  // not a layout the system handles
  kPcm8,      // unsigned byte centred on 128
  kPcm16,     // signed 16-bit little-endian
  kPcm24,     // signed 24-bit little-endian (3 bytes)
  kPcm32,     // signed 32-bit little-endian
  kFloat32,   // IEEE 754 single precision, little-endian, full scale 1.0
};

// The format tags that decide the encoding of 24-bit and 32-bit files.
constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
// An extensible format chunk carries its sub-format GUID from this body size on.
constexpr uint32_t kExtensibleFormatSize = 40;

// The format chunk's fields that decide the encoding, as read at their fixed offsets.
struct FormatFields {
  uint16_t formatTag = 0;     // offset 20
  uint32_t formatSize = 0;    // offset 16: the size field of the format chunk
  uint16_t subFormatTag = 0;  // offset 44: the first two bytes of the extensible sub-format GUID
  int bitsPerSample = 0;      // offset 34 (the container size of an extensible file)
};

// 8 and 16 bits: kPcm8 / kPcm16 whatever the tag. Tag 1 with 24 or 32 bits: kPcm24 / kPcm32; tag 3
// with 32 bits: kFloat32; tag 0xFFFE with a format size of at least 40: the sub-format's tag (1 or 3)
// decides as those tags do. Anything else: kNone.
SampleEncoding ClassifyEncoding(const FormatFields& fields);

// Kind of a file of this encoding and channel count; kNone without an encoding or for a channel
// count other than 1 and 2.
FormatKind KindOf(SampleEncoding encoding, int channels);

// Kind of a file with these header values, looking at the bits alone (8/16-bit files; the tag is
// not read for them); kNone for anything but 8/16 bits and 1/2 channels.
FormatKind ClassifyFormat(int bitsPerSample, int channels);

// Bytes of one sample frame: 4, 2, 2, 1 for kinds 1 to 4; 6, 3, 8, 4, 8, 4 for kinds 5 to 10; 0 for
// kNone.
int FrameBytes(FormatKind kind);

// The encoding of a kind's samples; kNone for kNone.
SampleEncoding EncodingOf(FormatKind kind);
// Bytes of one sample of a kind (1, 2, 3 or 4); 0 for kNone.
int SampleBytes(FormatKind kind);
// Channels of a kind (1 or 2); 0 for kNone.
int ChannelsOf(FormatKind kind);
// True for the float kinds 9 and 10.
bool IsFloatKind(FormatKind kind);

}  // namespace sonaveld
