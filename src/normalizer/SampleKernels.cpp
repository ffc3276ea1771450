// The per-block sample loops of the two runs. They see every byte of the sample area twice, so
// they are written to let the compiler vectorize them (this file is built with -O3).
#include "normalizer/SampleKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

// The AVX2 kernels need x86-64 and the GCC/Clang intrinsics, target attribute and processor
// test; elsewhere, or with SONAVELD_NO_SIMD, only the portable loops and the exact tables run.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
#define SONAVELD_AVX2 1
#include <immintrin.h>
#endif

namespace sonaveld {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are handled as little-endian words");

bool HasAvx2() {
#if defined(SONAVELD_AVX2)
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

inline int32_t Abs(int32_t v) { return v < 0 ? -v : v; }

inline int16_t Load16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

inline void Store16(uint8_t* p, int16_t v) { std::memcpy(p, &v, 2); }

#if defined(SONAVELD_AVX2)
// Eight 16-bit samples: Floor(s x gain) clamped to -32768..32767, four doubles at a time.
// Even samples take gain first, odd samples gain second (left and right in stereo).
__attribute__((target("avx2"))) void FastAvx2(const uint8_t* in, int64_t samples, double first, double second,
                                              uint8_t* out) {
  const __m256d gains = _mm256_setr_pd(first, second, first, second);
  const __m256d low = _mm256_set1_pd(-32768.0);
  const __m256d high = _mm256_set1_pd(32767.0);
  for (int64_t i = 0; i + 8 <= samples; i += 8) {
    const __m256i wide = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i)));
    __m256d a = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(wide)), gains);
    __m256d b = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(wide, 1)), gains);
    a = _mm256_floor_pd(_mm256_min_pd(_mm256_max_pd(a, low), high));
    b = _mm256_floor_pd(_mm256_min_pd(_mm256_max_pd(b, low), high));
    const __m128i packed = _mm_packs_epi32(_mm256_cvttpd_epi32(a), _mm256_cvttpd_epi32(b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), packed);
  }
}

// Peaks and sums of 16-bit samples, even samples to [0] and odd ones to [1] (stereo), or all
// to [0] (mono). The AVX2 loop takes sixteen samples a step; the rest is done one by one.
__attribute__((target("avx2"))) int64_t StatsAvx2(const uint8_t* p, int64_t samples, int32_t peak[2],
                                                  int32_t sum[2]) {
  const __m256i lowHalf = _mm256_set1_epi32(0xFFFF);
  __m256i peaks = _mm256_setzero_si256();
  __m256i evenSum = _mm256_setzero_si256();
  __m256i oddSum = _mm256_setzero_si256();
  int64_t i = 0;
  for (; i + 16 <= samples; i += 16) {
    // |s| as an unsigned 16-bit value: -32768 gives 32768.
    const __m256i a = _mm256_abs_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2 * i)));
    peaks = _mm256_max_epu16(peaks, a);
    evenSum = _mm256_add_epi32(evenSum, _mm256_and_si256(a, lowHalf));
    oddSum = _mm256_add_epi32(oddSum, _mm256_srli_epi32(a, 16));
  }
  alignas(32) uint32_t lanes[3][8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[0]), _mm256_and_si256(peaks, lowHalf));
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[1]), _mm256_srli_epi32(peaks, 16));
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[2]), evenSum);
  for (int k = 0; k < 8; ++k) {
    peak[0] = std::max(peak[0], static_cast<int32_t>(lanes[0][k]));
    peak[1] = std::max(peak[1], static_cast<int32_t>(lanes[1][k]));
    sum[0] += static_cast<int32_t>(lanes[2][k]);
  }
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes[2]), oddSum);
  for (int k = 0; k < 8; ++k) sum[1] += static_cast<int32_t>(lanes[2][k]);
  return i;
}
#else
// Without the AVX2 kernels: nothing is done here and the portable loops do it all.
void FastAvx2(const uint8_t*, int64_t, double, double, uint8_t*) {}
int64_t StatsAvx2(const uint8_t*, int64_t, int32_t[2], int32_t[2]) { return 0; }
#endif

BlockStats Stats16(const uint8_t* p, int64_t samples, bool stereo) {
  int32_t peak[2] = {0, 0};
  int32_t sum[2] = {0, 0};
  int64_t i = HasAvx2() ? StatsAvx2(p, samples, peak, sum) : 0;
  for (; i < samples; ++i) {
    const int c = static_cast<int>(i & 1);
    const int32_t a = Abs(Load16(p + 2 * i));
    peak[c] = std::max(peak[c], a);
    sum[c] += a;
  }
  BlockStats st;
  if (stereo) {
    st.peak[0] = peak[0];
    st.peak[1] = peak[1];
    st.sum[0] = sum[0];
    st.sum[1] = sum[1];
    st.count[0] = static_cast<int32_t>(samples - samples / 2);
    st.count[1] = static_cast<int32_t>(samples / 2);
  } else {
    st.peak[0] = std::max(peak[0], peak[1]);
    st.sum[0] = sum[0] + sum[1];
    st.count[0] = static_cast<int32_t>(samples);
  }
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
    case FormatKind::kStereo16: return Stats16(data, n / 2, true);
    case FormatKind::kMono16: return Stats16(data, n / 2, false);
    case FormatKind::kStereo8: return EightBit(data, n, true);
    case FormatKind::kMono8: return EightBit(data, n, false);
    default: break;  // kNone, and the kinds this does not handle yet
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

bool FastMapAvailable() { return HasAvx2(); }

int64_t FastMap16(FormatKind kind, const uint8_t* in, int64_t frames, const double gain[2], uint8_t* out) {
  const bool stereo = kind == FormatKind::kStereo16;
  const int64_t samples = HasAvx2() ? (frames * (stereo ? 2 : 1)) / 8 * 8 : 0;
  const double second = stereo ? gain[1] : gain[0];
  FastAvx2(in, samples, gain[0], second, out);
  return samples / (stereo ? 2 : 1);
}

void PatchSamples16(const uint8_t* in, int64_t samples, int stride, int c, int16_t sample, int16_t value,
                    uint8_t* out) {
  for (int64_t i = c; i < samples; i += stride) {
    if (Load16(in + 2 * i) == sample) Store16(out + 2 * i, value);
  }
}

}  // namespace sonaveld
