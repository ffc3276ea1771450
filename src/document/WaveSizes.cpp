#include "document/WaveSizes.h"

#include "document/WaveContainer.h"

namespace sonaveld {
namespace {

bool WriteU64At(OutputFile& out, int64_t offset, int64_t value) {
  const auto v = static_cast<uint64_t>(value);
  return out.WriteU32At(offset, static_cast<uint32_t>(v)) && out.WriteU32At(offset + 4, static_cast<uint32_t>(v >> 32));
}

}  // namespace

bool WriteWaveSizes(OutputFile& out, const WaveSizes& sizes) {
  if (!sizes.wide) {
    return out.WriteU32At(4, static_cast<uint32_t>(sizes.fileBytes - 8)) &&
           out.WriteU32At(sizes.dataSizeOffset, static_cast<uint32_t>(sizes.dataBytes));
  }
  return out.WriteU32At(4, kSizeInDs64) && out.WriteU32At(sizes.dataSizeOffset, kSizeInDs64) &&
         WriteU64At(out, kDs64RiffSizeOffset, sizes.fileBytes - 8) &&
         WriteU64At(out, kDs64DataSizeOffset, sizes.dataBytes) &&
         WriteU64At(out, kDs64SampleCountOffset, sizes.frames);
}

}  // namespace sonaveld
