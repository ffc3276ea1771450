// The software extended type against long double, the x87 80-bit type on x86-64. Built in the
// ordinary build and in the one that forces the software type into the gain alike.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "normalizer/SampleGain.h"
#include "base/SoftExtended.h"

namespace sonaveld {
namespace {

using Soft = SoftExtended;

constexpr bool kX87 = std::numeric_limits<long double>::digits == 64;

// The exact value of x (a 64-bit mantissa fits the x87 type). The powers of two the gain steps
// meet come from a table: ldexp alone would take most of the test's time.
long double Exact(const Soft& x) {
  static const auto powers = [] {
    std::array<long double, 512> p{};
    for (int e = -256; e < 256; ++e) p[e + 256] = std::ldexp(1.0L, e);
    return p;
  }();
  const long double m = static_cast<long double>(x.mantissa());
  const int64_t e = x.exponent();
  const long double magnitude = e >= -256 && e < 256 ? m * powers[e + 256] : std::ldexp(m, static_cast<int>(e));
  return x.negative() ? -magnitude : magnitude;
}

// The gain steps in both types, on every sample value: the constants, q = C / L, q x s, (q x s) x f,
// the clamping comparisons and the floor must agree bit for bit.
TEST(SoftExtendedTest, GainStepsMatchLongDoubleOnEverySampleValue) {
  if (!kX87) GTEST_SKIP() << "long double is not the 80-bit type here";
  for (int bits : {8, 16}) {
    const int high = bits == 16 ? 32767 : 127;
    for (bool average : {false, true}) {
      const long double cl = bits == 16 ? (average ? 32767.0L / 7.5L : 32767.0L) : (average ? 10.16L : 127.0L);
      const Soft cs = bits == 16 ? (average ? Soft(32767) / Soft(7.5) : Soft(32767))
                                 : (average ? Soft(1016) / Soft(100) : Soft(127));
      ASSERT_EQ(Exact(cs), cl);
      for (int percent : {1, 75, 80, 150}) {
        const float f = static_cast<float>(percent * 0.01L);
        ASSERT_EQ(static_cast<float>(Soft(percent) * (Soft(1) / Soft(100))), f) << percent;
        for (int32_t level : {1, 15, 128, 750, 16384, 32768}) {
          if (level > high + 1) continue;
          SCOPED_TRACE(testing::Message() << bits << "-bit, average " << average << ", " << percent << " %, level "
                                          << level);
          const long double ql = cl / level;
          const Soft qs = cs / Soft(level), fs(f), highs(high), lows(-high - 1);
          ASSERT_EQ(Exact(qs), ql);
          for (int s = -high - 1; s <= high; ++s) {
            const long double pl = ql * s, rl = pl * f;
            const Soft ps = qs * Soft(s), rs = ps * fs;
            const bool same = Exact(ps) == pl && Exact(rs) == rl && (rs >= highs) == (rl >= high) &&
                              (rs < lows) == (rl < -high - 1) && FloorToInt(rs) == std::floor(rl);
            ASSERT_TRUE(same) << "sample " << s << ": " << Exact(rs) << " against " << rl;
          }
        }
      }
    }
  }
}

// Products of two full 64-bit mantissas, and rounding to float and double with ties and the
// subnormal and overflow edges: q = k / 3 and k / 7, and q x 1/11, scaled by powers of two (an
// integer q gives exact ties at 2^-150 and 2^-1075), against long double.
TEST(SoftExtendedTest, ProductsAndConversionsMatchLongDouble) {
  if (!kX87) GTEST_SKIP() << "long double is not the 80-bit type here";
  const Soft eleventh = Soft(1) / Soft(11);
  for (int scale : {0, -126, -140, -149, -150, 127, 128, -1022, -1074, -1075, 1023}) {
    const Soft power = Soft(std::ldexp(1.0, scale / 2)) * Soft(std::ldexp(1.0, scale - scale / 2));
    for (int k = -600; k <= 600; ++k) {
      for (int d : {3, 7}) {
        const Soft q = Soft(k) / Soft(d);
        const long double ql = static_cast<long double>(k) / d;
        const std::pair<Soft, long double> values[] = {{q * power, std::ldexp(ql, scale)},
                                                       {q * eleventh * power, std::ldexp(ql * (1.0L / 11), scale)}};
        for (const auto& [x, xl] : values) {
          ASSERT_EQ(Exact(x), xl) << k << "/" << d << " 2^" << scale;
          ASSERT_EQ(static_cast<float>(x), static_cast<float>(xl)) << k << "/" << d << " 2^" << scale;
          ASSERT_EQ(static_cast<double>(x), static_cast<double>(xl)) << k << "/" << d << " 2^" << scale;
        }
      }
    }
  }
}

// Running sums as the float kinds' levels make them (block sums of |x|, means, their total), and
// sums of both signs with cancellation and far-apart exponents, step by step against long double.
TEST(SoftExtendedTest, SumsMatchLongDouble) {
  if (!kX87) GTEST_SKIP() << "long double is not the 80-bit type here";
  std::mt19937_64 random(7);
  for (int run = 0; run < 200; ++run) {
    Soft sum;
    long double suml = 0;
    const int spread = run % 4 == 0 ? 200 : 30;  // exponents over 2^-spread..2^spread
    for (int i = 0; i < 1000; ++i) {
      const double mantissa = static_cast<double>(static_cast<float>(random() % (1u << 24)) / (1u << 24));
      double x = std::ldexp(mantissa, static_cast<int>(random() % (2 * spread + 1)) - spread);
      if (run % 2 == 1 && random() % 3 == 0) x = -x;
      if (run % 8 == 3 && i % 2 == 1) x = -static_cast<double>(Exact(sum));  // near cancellation
      sum = sum + Soft(x);
      suml += x;
      ASSERT_EQ(Exact(sum), suml) << "run " << run << ", term " << i;
    }
    ASSERT_EQ(Exact(sum / Soft(1000)), suml / 1000) << "run " << run;
  }
  // One plus or minus a value just off half a unit in the last place (its lowest bit lies beyond
  // the 128 bits of the sum): the bits lost must still count in the rounding.
  for (int e : {-64, -65, -66, -127, -128, -129}) {
    for (int sign : {1, -1}) {
      const Soft y = Soft(std::ldexp(1.0 * sign, e)) * (Soft(1) + Soft(std::ldexp(1.0, -63)));
      ASSERT_EQ(Exact(Soft(1) + y), 1.0L + std::ldexp(1.0L * sign, e) * (1 + std::ldexp(1.0L, -63))) << e * sign;
    }
  }
}

// The build options take effect: the forced build computes the gain with the software type.
TEST(SoftExtendedTest, GainUsesItWhereForcedOrNeeded) {
#if defined(SONAVELD_SOFT_EXTENDED)
  EXPECT_TRUE(GainUsesSoftExtended());
#else
  EXPECT_EQ(GainUsesSoftExtended(), !kX87);
#endif
}

}  // namespace
}  // namespace sonaveld
