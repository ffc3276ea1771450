// The portable sample loops of the 24-bit, 32-bit and float kinds; WideAvx2.cpp holds the
// vectorized ones, which decide samples by the same rules.
#include "normalizer/WideKernels.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

#include "normalizer/WideAvx2.h"

namespace sonaveld {
namespace {

int64_t LoadInt(const uint8_t* p, int bytes) {
  uint32_t u = 0;
  for (int i = 0; i < bytes; ++i) u |= static_cast<uint32_t>(p[i]) << (8 * i);
  return static_cast<int32_t>(u << (32 - 8 * bytes)) >> (32 - 8 * bytes);  // sign-extended
}

void StoreInt(uint8_t* p, int bytes, int64_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
}

float LoadFloat(const uint8_t* p) {
  float x;
  std::memcpy(&x, p, 4);
  return x;
}

// The largest sample value of an integer encoding.
int64_t Largest(SampleEncoding encoding) { return encoding == SampleEncoding::kPcm24 ? 8388607 : 2147483647; }

// Significant bits of a positive finite double's mantissa.
int SignificantBits(double x) {
  int e = 0;
  const auto m = static_cast<uint64_t>(std::ldexp(std::frexp(x, &e), 53));
  return 53 - std::countr_zero(m);
}

BlockStats MeasureIntegers(const uint8_t* p, int64_t samples, int bytes, bool stereo) {
  BlockStats st;
  for (int64_t i = 0; i < samples; ++i) {
    const int c = stereo ? static_cast<int>(i & 1) : 0;
    const int64_t a = std::abs(LoadInt(p + i * bytes, bytes));
    st.peak[c] = std::max(st.peak[c], a);
    st.sum[c] += a;
    ++st.count[c];
  }
  return st;
}

BlockStats MeasureFloats(const uint8_t* p, int64_t samples, bool stereo) {
  BlockStats st;
  for (int64_t i = 0; i < samples; ++i) {
    const float x = LoadFloat(p + 4 * i);
    if (!std::isfinite(x)) continue;  // counts for neither level
    const int c = stereo ? static_cast<int>(i & 1) : 0;
    const float a = std::fabs(x);
    st.floatPeak[c] = std::max(st.floatPeak[c], a);
    st.floatSum[c] = st.floatSum[c] + Extended(static_cast<double>(a));
    ++st.count[c];
  }
  return st;
}

// The integer result decided from g = s x fast; none when it must come from the exact gain.
std::optional<int64_t> DecideInteger(const WideChannel& ch, int64_t s, int64_t largest) {
  const double g = static_cast<double>(s) * ch.fast;
  const double d = std::fabs(g) * 0x1p-49;
  const double whole = std::floor(g);
  const double fraction = g - whole;
  const auto high = static_cast<double>(largest);
  const double low = -high - 1;
  if (!(ch.exact || s == 0 || (fraction > d && 1 - fraction > d) || g - d >= high || g + d < low)) return {};
  return static_cast<int64_t>(std::clamp(whole, low, high));
}

// The float result decided from g = x x fast; none when it must come from the exact gain.
std::optional<float> DecideFloat(const WideChannel& ch, float x) {
  const double g = static_cast<double>(x) * ch.fast;
  const double a = std::fabs(g);
  uint64_t bits;
  std::memcpy(&bits, &g, 8);
  // The 29 bits below a float's last place; a rounding midpoint is where they are 2^28.
  const auto below = static_cast<int64_t>(bits & ((uint64_t{1} << 29) - 1));
  const bool clear = a >= 0x1p-100 && std::abs(below - (int64_t{1} << 28)) > 32;
  if (!(ch.exact || x == 0 || a >= 2 || clear)) return {};
  return std::clamp(static_cast<float>(g), -1.0f, 1.0f);
}

void MapIntegers(SampleEncoding encoding, const WideChannel channels[2], bool stereo, const uint8_t* in,
                 int64_t samples, uint8_t* out) {
  const int bytes = encoding == SampleEncoding::kPcm24 ? 3 : 4;
  const int64_t largest = Largest(encoding);
  for (int64_t i = 0; i < samples; ++i) {
    const WideChannel& ch = channels[stereo ? i & 1 : 0];
    const auto v = ch.gain->keeps() ? std::nullopt : DecideInteger(ch, LoadInt(in + i * bytes, bytes), largest);
    if (v) {
      StoreInt(out + i * bytes, bytes, *v);
    } else {
      MapWideExactly(encoding, ch, in + i * bytes, out + i * bytes);
    }
  }
}

void MapFloats(const WideChannel channels[2], bool stereo, const uint8_t* in, int64_t samples, uint8_t* out) {
  for (int64_t i = 0; i < samples; ++i) {
    const WideChannel& ch = channels[stereo ? i & 1 : 0];
    const float x = LoadFloat(in + 4 * i);
    const auto y = std::isfinite(x) && !ch.gain->keeps() ? DecideFloat(ch, x) : std::nullopt;
    if (y) {
      std::memcpy(out + 4 * i, &*y, 4);
    } else {
      MapWideExactly(SampleEncoding::kFloat32, ch, in + 4 * i, out + 4 * i);
    }
  }
}

}  // namespace

WideChannel MakeWideChannel(FormatKind kind, const ChannelGain& gain) {
  WideChannel ch;
  ch.gain = &gain;
  ch.fast = gain.Approximate();
  // Every product s x fast fits in 53 bits when fast's bits and the samples' together do: then it
  // is exact, and so are q x s and (q x s) x f, whose bits cannot exceed it (a float's mantissa
  // has 24 bits).
  const int sampleBits = IsFloatKind(kind) ? 24 : 8 * SampleBytes(kind);
  ch.exact = gain.ApproximationExact() && std::isfinite(ch.fast) && ch.fast > 0 &&
             SignificantBits(ch.fast) + sampleBits <= 53;
  return ch;
}

BlockStats MeasureWide(FormatKind kind, const uint8_t* data, int64_t n) {
  const bool stereo = IsStereo(kind);
  const int bytes = SampleBytes(kind);
  if (bytes == 0) return {};
  const int64_t samples = n / bytes;
  if (IsFloatKind(kind)) return MeasureFloats(data, samples, stereo);
  BlockStats st = MeasureIntegersAvx2(kind, data, samples);
  const int64_t done = st.count[0] + st.count[1];
  // The rest one by one, its parity counted on from the samples done (an even number).
  const BlockStats rest = MeasureIntegers(data + done * bytes, samples - done, bytes, stereo);
  for (int c = 0; c < 2; ++c) {
    st.peak[c] = std::max(st.peak[c], rest.peak[c]);
    st.sum[c] += rest.sum[c];
    st.count[c] += rest.count[c];
  }
  return st;
}

void MapWide(FormatKind kind, const WideChannel channels[2], const uint8_t* in, int64_t n, uint8_t* out) {
  const bool stereo = IsStereo(kind);
  const int bytes = SampleBytes(kind);
  const SampleEncoding encoding = EncodingOf(kind);
  const int64_t samples = n / bytes;
  const int64_t done = MapWideAvx2(kind, channels, in, samples, out);
  if (encoding == SampleEncoding::kFloat32) {
    MapFloats(channels, stereo, in + done * bytes, samples - done, out + done * bytes);
  } else {
    MapIntegers(encoding, channels, stereo, in + done * bytes, samples - done, out + done * bytes);
  }
  std::memcpy(out + samples * bytes, in + samples * bytes, static_cast<size_t>(n - samples * bytes));
}

void MapWideExactly(SampleEncoding encoding, const WideChannel& channel, const uint8_t* in, uint8_t* out) {
  if (encoding == SampleEncoding::kFloat32) {
    const float x = LoadFloat(in);
    const float y = std::isfinite(x) ? channel.gain->Scale(x) : x;
    std::memcpy(out, std::isfinite(x) ? static_cast<const void*>(&y) : in, 4);
    return;
  }
  const int bytes = encoding == SampleEncoding::kPcm24 ? 3 : 4;
  StoreInt(out, bytes, channel.gain->Scale(LoadInt(in, bytes)));
}

}  // namespace sonaveld
