// The one cut of a file name's extension, behind the mark list file, the numbered outputs and
// the normalizer's names.
#include <gtest/gtest.h>

#include "io/FileNames.h"

namespace sonaveld {
namespace {

TEST(PathWithoutExtension, CutsAtTheLastDotOfTheFileNameOnly) {
  const struct {
    std::string path;
    std::optional<std::string> cut;
  } cases[] = {
      {"/w/take1.wav", "/w/take1"},   {"a.b.wav", "a.b"},
      {"/w/.wav", "/w/"},             // a name that is all extension
      {"/my.dir/take", std::nullopt},  // the folder's dot
      {"take", std::nullopt},         {"/w/x.y/", std::nullopt},  // no file name at all
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PathWithoutExtension(c.path), c.cut) << c.path;
}

}  // namespace
}  // namespace sonaveld
