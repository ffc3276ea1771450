// The per-block sample loops of the two runs. They see every byte of the sample area twice, so
// they are written to let the compiler vectorize them (this file is built with -O3).
#include "normalizer/SampleKernels.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "normalizer/WideKernels.h"

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
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
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
// Eight 16-bit samples (the low or high half of raw): Floor(s x gain) clamped to -32768..32767, in
// double precision four at a time; even samples take the first gain of gains, odd ones the second.
// The floor is taken as the truncation of s x gain + 32768 (one rounding, in the fused multiply-
// add) clamped to 0..65535, whose 16-bit pattern with the top bit flipped is the signed result.
__attribute__((target("avx2,fma"))) __m128i ScaleEightAvx2(__m128i raw, __m256d gains) {
  const __m256d offset = _mm256_set1_pd(32768.0);
  const __m256d low = _mm256_setzero_pd();
  const __m256d high = _mm256_set1_pd(65535.0);
  const __m256i wide = _mm256_cvtepi16_epi32(raw);
  __m256d a = _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(wide)), gains, offset);
  __m256d b = _mm256_fmadd_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(wide, 1)), gains, offset);
  a = _mm256_min_pd(_mm256_max_pd(a, low), high);
  b = _mm256_min_pd(_mm256_max_pd(b, low), high);
  const __m128i shifted = _mm_packus_epi32(_mm256_cvttpd_epi32(a), _mm256_cvttpd_epi32(b));
  return _mm_xor_si128(shifted, _mm_set1_epi16(static_cast<int16_t>(0x8000)));
}

// Sixteen samples a step through ScaleEightAvx2; a step that holds one of the exceptional sample
// values on its channel is mapped again through the exact tables.
__attribute__((target("avx2,fma"))) void FastAvx2(const uint8_t* in, int64_t samples, const double gain[2],
                                              const FastException* exceptions, int count, const GainTable* tables,
                                              bool stereo, uint8_t* out) {
  const __m256d gains = _mm256_setr_pd(gain[0], gain[1], gain[0], gain[1]);
  __m256i values[kMaxFastExceptions];
  __m256i lanes[kMaxFastExceptions];
  for (int e = 0; e < count; ++e) {
    values[e] = _mm256_set1_epi16(exceptions[e].sample);
    // Bit 0: the first channel (even samples in stereo, every sample in mono); bit 1: the second.
    const int c = stereo ? exceptions[e].channels : 3;
    lanes[e] = _mm256_set1_epi32((c & 1 ? 0x0000FFFF : 0) | (c & 2 ? static_cast<int>(0xFFFF0000u) : 0));
  }
  for (int64_t i = 0; i + 16 <= samples; i += 16) {
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i));
    const __m128i first = ScaleEightAvx2(_mm256_castsi256_si128(raw), gains);
    const __m128i second = ScaleEightAvx2(_mm256_extracti128_si256(raw, 1), gains);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), _mm256_set_m128i(second, first));
    __m256i hit = _mm256_setzero_si256();
    for (int e = 0; e < count; ++e) hit = _mm256_or_si256(hit, _mm256_and_si256(_mm256_cmpeq_epi16(raw, values[e]), lanes[e]));
    if (!_mm256_testz_si256(hit, hit)) {
      for (int64_t k = i; k < i + 16; ++k) {
        const auto raw = static_cast<uint16_t>(Load16(in + 2 * k));
        Store16(out + 2 * k, static_cast<int16_t>(tables[stereo ? k & 1 : 0].Map16(raw)));
      }
    }
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

// Eight 16-bit samples (the low or high half of raw) times gain, rounded half to even and
// clamped to -32768..32767, in double precision four at a time: the same operations, in the same
// order, as the plain gain's scalar arithmetic.
__attribute__((target("avx2"))) __m128i PlainEightAvx2(__m128i raw, __m256d gain) {
  const __m256d low = _mm256_set1_pd(-32768.0);
  const __m256d high = _mm256_set1_pd(32767.0);
  const __m256i wide = _mm256_cvtepi16_epi32(raw);
  __m256d a = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(wide)), gain);
  __m256d b = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(wide, 1)), gain);
  a = _mm256_round_pd(a, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  b = _mm256_round_pd(b, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  a = _mm256_min_pd(_mm256_max_pd(a, low), high);
  b = _mm256_min_pd(_mm256_max_pd(b, low), high);
  return _mm_packs_epi32(_mm256_cvttpd_epi32(a), _mm256_cvttpd_epi32(b));
}

// Sixteen samples a step through PlainEightAvx2; a sample outside [lowestKept, highestKept] is
// counted as clamped on its channel (even samples: counts[0], odd ones: counts[1] in stereo).
__attribute__((target("avx2,popcnt"))) void PlainAvx2(const uint8_t* in, int64_t samples, double gain,
                                                      const PlainClamp& clamp, bool stereo, uint8_t* out,
                                                      int64_t counts[2]) {
  const __m256d gains = _mm256_set1_pd(gain);
  const __m256i above = _mm256_set1_epi16(clamp.highestKept);
  const __m256i below = _mm256_set1_epi16(clamp.lowestKept);
  const bool count = clamp.highestKept < INT16_MAX || clamp.lowestKept > INT16_MIN;
  // Two mask bits per sample: those of the even samples, and of the odd ones.
  const uint32_t even = stereo ? 0x33333333u : 0xFFFFFFFFu;
  for (int64_t i = 0; i + 16 <= samples; i += 16) {
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i));
    const __m128i first = PlainEightAvx2(_mm256_castsi256_si128(raw), gains);
    const __m128i second = PlainEightAvx2(_mm256_extracti128_si256(raw, 1), gains);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), _mm256_set_m128i(second, first));
    if (!count) continue;
    const __m256i hit = _mm256_or_si256(_mm256_cmpgt_epi16(raw, above), _mm256_cmpgt_epi16(below, raw));
    const auto bits = static_cast<uint32_t>(_mm256_movemask_epi8(hit));
    counts[0] += std::popcount(bits & even) / 2;
    counts[1] += std::popcount(bits & ~even) / 2;
  }
}
#else
// Without the AVX2 kernels: nothing is done here and the portable loops do it all.
void FastAvx2(const uint8_t*, int64_t, const double[2], const FastException*, int, const GainTable*, bool, uint8_t*) {}
int64_t StatsAvx2(const uint8_t*, int64_t, int32_t[2], int32_t[2]) { return 0; }
void PlainAvx2(const uint8_t*, int64_t, double, const PlainClamp&, bool, uint8_t*, int64_t[2]) {}
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
    const int64_t a = Abs(static_cast<int32_t>(p[i]) - 128);
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
    default: break;
  }
  return MeasureWide(kind, data, n);
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

int64_t FastMap16(FormatKind kind, const uint8_t* in, int64_t frames, const double gain[2],
                  const FastException* exceptions, int count, const GainTable* tables, uint8_t* out) {
  const bool stereo = kind == FormatKind::kStereo16;
  const int64_t samples = HasAvx2() ? (frames * (stereo ? 2 : 1)) / 16 * 16 : 0;
  const double gains[2] = {gain[0], stereo ? gain[1] : gain[0]};
  FastAvx2(in, samples, gains, exceptions, std::min(count, kMaxFastExceptions), tables, stereo, out);
  return samples / (stereo ? 2 : 1);
}

int64_t PlainMap16(const uint8_t* in, int64_t samples, double gain, const PlainClamp& clamp, bool stereo,
                   uint8_t* out, int64_t clipped[2]) {
  if (!HasAvx2()) return 0;
  const int64_t whole = samples / 16 * 16;
  PlainAvx2(in, whole, gain, clamp, stereo, out, clipped);
  return whole;
}

}  // namespace sonaveld
