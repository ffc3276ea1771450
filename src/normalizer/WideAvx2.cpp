#include "normalizer/WideAvx2.h"

#include <algorithm>

#include "normalizer/WideKernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(SONAVELD_NO_SIMD)
#define SONAVELD_AVX2 1
#include <immintrin.h>
#endif

namespace sonaveld {

#if defined(SONAVELD_AVX2)
namespace {

// Four little-endian samples of Bytes bytes from p as 32-bit integers; the 24-bit load reads 16
// bytes.
template <int Bytes>
__attribute__((target("avx2"))) __m128i Load4(const uint8_t* p) {
  const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  if constexpr (Bytes == 4) return raw;
  // Each sample's three bytes to the top of its lane, then shifted down with its sign.
  const __m128i spread = _mm_setr_epi8(-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11);
  return _mm_srai_epi32(_mm_shuffle_epi8(raw, spread), 8);
}

// Four 32-bit integers to p as samples of Bytes bytes; the 24-bit store writes 16 bytes, of which
// the last four are the next sample's and written again after.
template <int Bytes>
__attribute__((target("avx2"))) void Store4(uint8_t* p, __m128i v) {
  if constexpr (Bytes == 3) v = _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// The lanes of a four-sample step where g = s x fast decides the result (see MapWide), with the
// margin d = |g| 2^-49 taken at its largest where it matters: where |g| < 2 x bound (bound =
// 2^23 or 2^31, one past the largest sample value), d < bound x 2^-48; beyond -bound - 1 and
// from bound on, r is clamped whatever its last bits.
__attribute__((target("avx2"))) int SureIntegers(__m256d g, __m256d whole, __m256d bound, __m256d margin) {
  const __m256d fraction = _mm256_sub_pd(g, whole);
  __m256d sure = _mm256_and_pd(_mm256_cmp_pd(fraction, margin, _CMP_GT_OQ),
                               _mm256_cmp_pd(fraction, _mm256_sub_pd(_mm256_set1_pd(1.0), margin), _CMP_LT_OQ));
  sure = _mm256_or_pd(sure, _mm256_cmp_pd(g, _mm256_setzero_pd(), _CMP_EQ_OQ));
  sure = _mm256_or_pd(sure, _mm256_cmp_pd(g, bound, _CMP_GE_OQ));
  sure = _mm256_or_pd(sure, _mm256_cmp_pd(g, _mm256_sub_pd(_mm256_set1_pd(-1.0), bound), _CMP_LT_OQ));
  return _mm256_movemask_pd(sure);
}

template <int Bytes>
__attribute__((target("avx2"))) int64_t MapIntegers(const WideChannel& a, const WideChannel& b, const uint8_t* in,
                                                     int64_t samples, uint8_t* out) {
  const SampleEncoding encoding = Bytes == 3 ? SampleEncoding::kPcm24 : SampleEncoding::kPcm32;
  const __m256d gain = _mm256_setr_pd(a.fast, b.fast, a.fast, b.fast);
  const int exact = (a.exact ? 5 : 0) | (b.exact ? 10 : 0);  // the lanes of exact channels
  const double limit = Bytes == 3 ? 8388608.0 : 2147483648.0;
  const __m256d bound = _mm256_set1_pd(limit);
  const __m256d margin = _mm256_set1_pd(limit * 0x1p-48);
  const __m256d high = _mm256_set1_pd(limit - 1);
  const __m256d low = _mm256_set1_pd(-limit);
  int64_t i = 0;
  for (; (i + 4) * Bytes + (16 - 4 * Bytes) <= samples * Bytes; i += 4) {
    const __m256d g = _mm256_mul_pd(_mm256_cvtepi32_pd(Load4<Bytes>(in + i * Bytes)), gain);
    const __m256d whole = _mm256_floor_pd(g);
    Store4<Bytes>(out + i * Bytes, _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(whole, low), high)));
    for (int unsure = ~(SureIntegers(g, whole, bound, margin) | exact) & 15; unsure != 0; unsure &= unsure - 1) {
      const int k = __builtin_ctz(static_cast<unsigned>(unsure));
      MapWideExactly(encoding, k & 1 ? b : a, in + (i + k) * Bytes, out + (i + k) * Bytes);
    }
  }
  return i;
}

__attribute__((target("avx2"))) int64_t MapFloats(const WideChannel& a, const WideChannel& b, const uint8_t* in,
                                                  int64_t samples, uint8_t* out) {
  const __m256d gain = _mm256_setr_pd(a.fast, b.fast, a.fast, b.fast);
  const int exact = (a.exact ? 5 : 0) | (b.exact ? 10 : 0);  // the lanes of exact channels
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  const __m256i below = _mm256_set1_epi64x((int64_t{1} << 29) - 1);
  const __m256i midpoint = _mm256_set1_epi64x(int64_t{1} << 28);
  const __m256i margin = _mm256_set1_epi64x(32);
  int64_t i = 0;
  for (; i + 4 <= samples; i += 4) {
    const __m128 x = _mm_loadu_ps(reinterpret_cast<const float*>(in + 4 * i));
    const __m128i infinite = _mm_cmpeq_epi32(_mm_and_si128(_mm_castps_si128(x), exponent), exponent);
    const __m256d g = _mm256_mul_pd(_mm256_cvtps_pd(x), gain);
    const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), g);
    // The 29 bits below a float's last place, against the rounding midpoint 2^28.
    const __m256i offset = _mm256_sub_epi64(_mm256_and_si256(_mm256_castpd_si256(g), below), midpoint);
    const __m256i far = _mm256_or_si256(_mm256_cmpgt_epi64(offset, margin),
                                        _mm256_cmpgt_epi64(_mm256_sub_epi64(_mm256_setzero_si256(), offset), margin));
    __m256d sure = _mm256_and_pd(_mm256_castsi256_pd(far), _mm256_cmp_pd(magnitude, _mm256_set1_pd(0x1p-100), _CMP_GE_OQ));
    sure = _mm256_or_pd(sure, _mm256_cmp_pd(magnitude, _mm256_set1_pd(2.0), _CMP_GE_OQ));
    sure = _mm256_or_pd(sure, _mm256_cmp_pd(g, _mm256_setzero_pd(), _CMP_EQ_OQ));
    const __m128 y = _mm256_cvtpd_ps(_mm256_min_pd(_mm256_max_pd(g, _mm256_set1_pd(-1.0)), _mm256_set1_pd(1.0)));
    // Samples that are not finite keep their bits.
    _mm_storeu_ps(reinterpret_cast<float*>(out + 4 * i), _mm_blendv_ps(y, x, _mm_castsi128_ps(infinite)));
    const int skip = _mm256_movemask_pd(sure) | _mm_movemask_ps(_mm_castsi128_ps(infinite)) | exact;
    for (int unsure = ~skip & 15; unsure != 0; unsure &= unsure - 1) {
      const int k = __builtin_ctz(static_cast<unsigned>(unsure));
      MapWideExactly(SampleEncoding::kFloat32, k & 1 ? b : a, in + 4 * (i + k), out + 4 * (i + k));
    }
  }
  return i;
}

// Eight samples a step: peaks (as unsigned 32-bit: |-2^31| is 2^31) and 64-bit sums by lane.
template <int Bytes>
__attribute__((target("avx2"))) BlockStats MeasureIntegers(const uint8_t* p, int64_t samples, bool stereo) {
  __m256i peaks = _mm256_setzero_si256(), low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
  int64_t i = 0;
  for (; (i + 8) * Bytes + (16 - 4 * Bytes) <= samples * Bytes; i += 8) {
    const __m128i first = Load4<Bytes>(p + i * Bytes);
    const __m128i second = Load4<Bytes>(p + (i + 4) * Bytes);
    const __m256i a = _mm256_abs_epi32(_mm256_set_m128i(second, first));
    peaks = _mm256_max_epu32(peaks, a);
    low = _mm256_add_epi64(low, _mm256_cvtepu32_epi64(_mm256_castsi256_si128(a)));
    high = _mm256_add_epi64(high, _mm256_cvtepu32_epi64(_mm256_extracti128_si256(a, 1)));
  }
  alignas(32) uint32_t peak[8];
  alignas(32) int64_t sum[2][4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(peak), peaks);
  _mm256_store_si256(reinterpret_cast<__m256i*>(sum[0]), low);
  _mm256_store_si256(reinterpret_cast<__m256i*>(sum[1]), high);
  BlockStats st;
  for (int k = 0; k < 8; ++k) {
    const int c = stereo ? k & 1 : 0;
    st.peak[c] = std::max<int64_t>(st.peak[c], peak[k]);
    st.sum[c] += sum[k / 4][k % 4];
  }
  st.count[0] = static_cast<int32_t>(stereo ? i / 2 : i);
  st.count[1] = static_cast<int32_t>(stereo ? i / 2 : 0);
  return st;
}

}  // namespace

BlockStats MeasureIntegersAvx2(FormatKind kind, const uint8_t* data, int64_t samples) {
  if (!FastMapAvailable()) return {};
  const bool stereo = IsStereo(kind);
  return SampleBytes(kind) == 3 ? MeasureIntegers<3>(data, samples, stereo) : MeasureIntegers<4>(data, samples, stereo);
}

int64_t MapWideAvx2(FormatKind kind, const WideChannel channels[2], const uint8_t* in, int64_t samples,
                    uint8_t* out) {
  const WideChannel& a = channels[0];
  const WideChannel& b = IsStereo(kind) ? channels[1] : channels[0];
  // A channel that keeps its samples (rare) is left to the portable loop.
  if (!FastMapAvailable() || a.gain->keeps() || b.gain->keeps()) return 0;
  switch (EncodingOf(kind)) {
    case SampleEncoding::kPcm24: return MapIntegers<3>(a, b, in, samples, out);
    case SampleEncoding::kPcm32: return MapIntegers<4>(a, b, in, samples, out);
    case SampleEncoding::kFloat32: return MapFloats(a, b, in, samples, out);
    default: break;
  }
  return 0;
}

#else

BlockStats MeasureIntegersAvx2(FormatKind, const uint8_t*, int64_t) { return {}; }
int64_t MapWideAvx2(FormatKind, const WideChannel[2], const uint8_t*, int64_t, uint8_t*) { return 0; }

#endif

}  // namespace sonaveld
