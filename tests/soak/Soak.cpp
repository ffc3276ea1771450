// The soak run: thousands of random operations against the engine, as a long session at the
// window would make them (add and delete marks, keep head, the three outputs, normalize, write and
// read the mark list file, open another file), checking after each that the marks follow the
// store's rules, the source is unchanged, no stray file is left, Busy is 0, and every output is
// exactly what the plain account of the rules (tests/fuzz/OutputModel) says.
//
// Usage: sonaveld_soak [SECONDS [START]]. Default: 10 000 operations, at most 60 seconds. A longer
// time runs 10 000 operations per minute of it. START is the random start value (default 8128);
// a failure prints it with the operation number, and the same value replays the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "OutputModel.h"
#include "SoakWorld.h"

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::atol(argv[1]) : 60;
  const uint64_t start = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 8128;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: sonaveld_soak [SECONDS [START]]\n");
    return 2;
  }
  const long operations = 10000 * std::max(1L, seconds / 60);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);

  sonaveld::soak::SoakWorld world(start);
  long done = 0;
  for (; done < operations && std::chrono::steady_clock::now() < deadline; ++done) {
    const std::string failure = world.Step();
    if (!failure.empty()) {
      std::fprintf(stderr, "soak: operation %ld (%s) failed: %s\nsoak: random start value %llu\n", done,
                   world.LastOperation().c_str(), failure.c_str(), static_cast<unsigned long long>(start));
      return 1;
    }
  }
  std::printf("soak: %ld operations (%s), random start value %llu\n", done, world.Tally().c_str(),
              static_cast<unsigned long long>(start));
  return 0;
}
