#include "normalizer/PlainGainMapper.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "normalizer/SampleCodec.h"
#include "normalizer/SampleKernels.h"

namespace sonaveld {
namespace {

// Round half to even of |v| < 2^51, as the default rounding mode does: adding and taking away
// 1.5 x 2^52 leaves the nearest whole number (ties to even).
inline double RoundHalfEven(double v) {
  constexpr double kMagic = 6755399441055744.0;
  return (v + kMagic) - kMagic;  // not folded: the compiler keeps IEEE semantics
}

}  // namespace

double DitherSource::Uniform() {
  uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53;
}

PlainGainMapper::PlainGainMapper(const SampleLayout& layout, double gain, bool dither)
    : encoding_(layout.encoding), bytes_(layout.sampleBytes), channels_(std::max(1, layout.channels)), gain_(gain),
      dither_(dither && encoding_ != SampleEncoding::kFloat32) {
  const bool isFloat = encoding_ == SampleEncoding::kFloat32;
  if (!isFloat && bytes_ > 0) {
    high_ = (int64_t{1} << (8 * bytes_ - 1)) - 1;
    low_ = -high_ - 1;
  }
  if (dither_ || isFloat || bytes_ == 0 || bytes_ > 2) return;
  // 8/16-bit without dither: every sample value's result once, then lookups.
  const int64_t values = int64_t{1} << (8 * bytes_);
  table_.resize(static_cast<size_t>(values));
  clips_.resize(static_cast<size_t>(values));
  for (int64_t s = low_; s <= high_; ++s) {
    const int64_t before = clipped_[0];
    const auto index = static_cast<size_t>(s - low_);
    table_[index] = static_cast<int16_t>(ScaleInteger(s, 0.0, 0));
    clips_[index] = clipped_[0] != before ? 1 : 0;
  }
  clipped_[0] = 0;
  if (encoding_ == SampleEncoding::kPcm16) fast_ = FastAgreesWithTable();
}

bool PlainGainMapper::FastAgreesWithTable() {
  if (!FastMapAvailable()) return false;
  // The values clamped must be those below one bound and above another: the fast path tells
  // them by those two bounds.
  int64_t lowest = low_, highest = high_;
  while (lowest <= high_ && clips_[static_cast<size_t>(lowest - low_)] != 0) ++lowest;
  while (highest >= lowest && clips_[static_cast<size_t>(highest - low_)] != 0) --highest;
  if (lowest > highest) return false;
  clamp_ = {static_cast<int16_t>(lowest), static_cast<int16_t>(highest)};
  // Every sample value through the fast path, as mono: the same results and the same clamps
  // as the table, or the table alone is used.
  std::vector<int16_t> every(table_.size()), mapped(table_.size());
  for (size_t i = 0; i < every.size(); ++i) every[i] = static_cast<int16_t>(low_ + static_cast<int64_t>(i));
  int64_t counts[2] = {0, 0};
  const auto bytes = reinterpret_cast<const uint8_t*>(every.data());
  const int64_t n = PlainMap16(bytes, static_cast<int64_t>(every.size()), gain_, clamp_, false,
                               reinterpret_cast<uint8_t*>(mapped.data()), counts);
  int64_t clamped = 0;
  for (uint8_t c : clips_) clamped += c;
  return n == static_cast<int64_t>(every.size()) && mapped == table_ && counts[0] == clamped;
}

int64_t PlainGainMapper::ScaleInteger(int64_t s, double d, int c) {
  const double v = static_cast<double>(s) * gain_ + d;
  // Beyond the range by a whole step: clamped without rounding (keeps |v| small for the rounding).
  double r = v >= static_cast<double>(high_ + 1) ? static_cast<double>(high_ + 1)
             : v <= static_cast<double>(low_ - 1) ? static_cast<double>(low_ - 1)
                                                   : RoundHalfEven(v);
  if (r > static_cast<double>(high_) || r < static_cast<double>(low_)) {
    ++clipped_[c];
    return r > 0 ? high_ : low_;
  }
  return static_cast<int64_t>(r);
}

void PlainGainMapper::Map(const uint8_t* in, int64_t n, uint8_t* out) {
  const int bytes = bytes_;
  if (bytes == 0) return;
  const int64_t samples = n / bytes;
  if (!table_.empty()) {
    MapTable(in, samples, out);
  } else {
    MapDirect(in, samples, out);
  }
  // An incomplete last sample is copied as it is.
  std::memcpy(out + samples * bytes, in + samples * bytes, static_cast<size_t>(n - samples * bytes));
}

void PlainGainMapper::MapTable(const uint8_t* in, int64_t samples, uint8_t* out) {
  if (encoding_ == SampleEncoding::kPcm16 && channels_ <= 2) {
    // The common kind on its own loop: one lookup and one flag per sample (the channel of sample
    // i is i & mask: mono 0, stereo alternating).
    const int64_t mask = channels_ - 1;
    int64_t counts[2] = {0, 0};
    const int64_t done = fast_ ? PlainMap16(in, samples, gain_, clamp_, channels_ == 2, out, counts) : 0;
    for (int64_t i = done; i < samples; ++i) {
      int16_t s;
      std::memcpy(&s, in + 2 * i, 2);
      const auto index = static_cast<size_t>(s + 32768);
      std::memcpy(out + 2 * i, &table_[index], 2);
      counts[i & mask] += clips_[index];
    }
    clipped_[0] += counts[0];
    clipped_[1] += counts[1];
    return;
  }
  const int bytes = bytes_;
  for (int64_t i = 0; i < samples; ++i) {
    const uint8_t* p = in + i * bytes;
    const auto index = static_cast<size_t>(ReadInteger(encoding_, p) - low_);
    WriteInteger(encoding_, table_[index], out + i * bytes);
    clipped_[ChannelOf(i)] += clips_[index];
  }
}

void PlainGainMapper::MapDirect(const uint8_t* in, int64_t samples, uint8_t* out) {
  const int bytes = bytes_;
  for (int64_t i = 0; i < samples; ++i) {
    const uint8_t* p = in + i * bytes;
    uint8_t* q = out + i * bytes;
    if (encoding_ == SampleEncoding::kFloat32) {
      float x;
      std::memcpy(&x, p, 4);
      if (std::isfinite(x)) x = static_cast<float>(static_cast<double>(x) * gain_);
      std::memcpy(q, &x, 4);
      continue;
    }
    const double d = dither_ ? source_.Next() : 0.0;
    WriteInteger(encoding_, ScaleInteger(ReadInteger(encoding_, p), d, static_cast<int>(ChannelOf(i))), q);
  }
}

}  // namespace sonaveld
