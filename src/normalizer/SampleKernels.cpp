// The per-block sample loops of the two runs. They see every byte of the sample area twice, so
// they are written to let the compiler vectorize them (this file is built with -O3).
#include "normalizer/SampleKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace sonaveld {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are handled as little-endian words");

// The hot loops get an AVX2 build next to the baseline one, chosen when the program starts.
#define SONAVELD_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

inline int32_t Abs(int32_t v) { return v < 0 ? -v : v; }

inline int16_t Load16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

SONAVELD_VECTOR_CLONES BlockStats Stereo16(const uint8_t* p, int64_t samples) {
  BlockStats st;
  const int64_t frames = samples / 2;
  int32_t pl = 0, pr = 0, sl = 0, sr = 0;
  for (int64_t i = 0; i < frames; ++i) {
    const int32_t l = Abs(Load16(p + 4 * i));
    const int32_t r = Abs(Load16(p + 4 * i + 2));
    pl = std::max(pl, l);
    pr = std::max(pr, r);
    sl += l;
    sr += r;
  }
  if (samples % 2 == 1) {  // a short block may end on a left sample
    const int32_t l = Abs(Load16(p + 4 * frames));
    pl = std::max(pl, l);
    sl += l;
  }
  st.peak[0] = pl;
  st.peak[1] = pr;
  st.sum[0] = sl;
  st.sum[1] = sr;
  st.count[0] = static_cast<int32_t>(samples - frames);
  st.count[1] = static_cast<int32_t>(frames);
  return st;
}

SONAVELD_VECTOR_CLONES BlockStats Mono16(const uint8_t* p, int64_t samples) {
  BlockStats st;
  int32_t peak = 0, sum = 0;
  for (int64_t i = 0; i < samples; ++i) {
    const int32_t a = Abs(Load16(p + 2 * i));
    peak = std::max(peak, a);
    sum += a;
  }
  st.peak[0] = peak;
  st.sum[0] = sum;
  st.count[0] = static_cast<int32_t>(samples);
  return st;
}

BlockStats EightBit(const uint8_t* p, int64_t samples, bool stereo) {
  BlockStats st;
  for (int64_t i = 0; i < samples; ++i) {
    const int c = stereo ? static_cast<int>(i & 1) : 0;
    const int32_t a = Abs(static_cast<int32_t>(p[i]) - 128);
    st.peak[c] = std::max(st.peak[c], a);
    st.sum[c] += a;
    ++st.count[c];
  }
  return st;
}

}  // namespace

BlockStats MeasureSamples(FormatKind kind, const uint8_t* data, int64_t n) {
  switch (kind) {
    case FormatKind::kStereo16: return Stereo16(data, n / 2);
    case FormatKind::kMono16: return Mono16(data, n / 2);
    case FormatKind::kStereo8: return EightBit(data, n, true);
    case FormatKind::kMono8: return EightBit(data, n, false);
    case FormatKind::kNone: break;
  }
  return {};
}

void MapSamples(FormatKind kind, const GainTable* tables, const uint8_t* in, int64_t n, uint8_t* out) {
  if (kind == FormatKind::kStereo16) {
    const GainTable& left = tables[0];
    const GainTable& right = tables[1];
    const int64_t frames = n / 4;
    for (int64_t i = 0; i < frames; ++i) {
      uint32_t w;
      std::memcpy(&w, in + 4 * i, 4);
      const uint32_t v = left.Map16(static_cast<uint16_t>(w)) | static_cast<uint32_t>(right.Map16(w >> 16)) << 16;
      std::memcpy(out + 4 * i, &v, 4);
    }
    for (int64_t b = frames * 4; b + 1 < n; b += 2) {  // a left sample at the end of a short block
      uint16_t raw;
      std::memcpy(&raw, in + b, 2);
      const uint16_t v = left.Map16(raw);
      std::memcpy(out + b, &v, 2);
    }
  } else if (kind == FormatKind::kMono16) {
    const GainTable& table = tables[0];
    for (int64_t i = 0; i < n / 2; ++i) {
      uint16_t raw;
      std::memcpy(&raw, in + 2 * i, 2);
      const uint16_t v = table.Map16(raw);
      std::memcpy(out + 2 * i, &v, 2);
    }
  } else {
    const int mask = IsStereo(kind) ? 1 : 0;
    for (int64_t i = 0; i < n; ++i) out[i] = tables[i & mask].Map8(in[i]);
  }
  if (IsSixteenBit(kind) && n % 2 == 1) out[n - 1] = in[n - 1];  // the unpaired last byte stays
}

}  // namespace sonaveld
