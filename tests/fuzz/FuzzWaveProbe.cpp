// The main window's WAV probe and the normalizer's data chunk search on arbitrary bytes: no crash,
// no read outside the file, and the same header values as the plain account of the rules.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "OutputModel.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

using namespace sonaveld;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const check::Bytes bytes(data, data + size);
  MemorySource source(data, size);
  const ProbeResult probe = ProbeWave(source);
  const check::ModelHeader model = check::ModelProbe(bytes);
  const WaveHeader& h = probe.header;

  FUZZ_CHECK(probe.status.ok() == model.accepted, "probe accepts where the rules refuse, or the reverse");
  FUZZ_CHECK(probe.status.ok() || !probe.status.message().empty(), "a refusal without a message");
  FUZZ_CHECK(h.FileSize == static_cast<int64_t>(size), "file size");
  FUZZ_CHECK(h.Channels == model.channels && h.BitsPerSample == model.bits && h.SampleRate == model.rate,
             "format fields");
  FUZZ_CHECK(h.DataOffset == model.dataOffset, "data offset");
  if (h.DataOffset != 0) {
    FUZZ_CHECK(h.DataEnd == model.dataEnd, "data end");
    FUZZ_CHECK(h.DataOffset >= 9 && h.DataOffset <= h.DataEnd && h.DataEnd <= h.FileSize,
               "data area outside the file");
  }
  if (probe.status.ok()) {
    FUZZ_CHECK(h.FrameSize() == model.frameBytes, "frame size of the layout");
    FUZZ_CHECK((h.Layout.encoding == SampleEncoding::kFloat32) == model.isFloat, "integer or float layout");
    FUZZ_CHECK(h.Kind == KindOf(h.Layout.encoding, h.Channels), "the kind of a mono or stereo layout");
    FUZZ_CHECK(h.Frames() == (h.DataEnd - h.DataOffset) / model.frameBytes, "frame count");
  }

  // The normalizer searches tags from offset 0.
  const DataChunk chunk = FindDataChunk(source, static_cast<int64_t>(size), 0, 100);
  const check::ModelHeader normalizer = check::ModelProbe(bytes, 0, 100);
  FUZZ_CHECK(chunk.offset == normalizer.dataOffset, "normalizer data offset");
  if (chunk.offset != 0) FUZZ_CHECK(chunk.end == normalizer.dataEnd, "normalizer data end");
  return 0;
}
