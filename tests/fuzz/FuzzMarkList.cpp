// The mark list file parser on arbitrary text: no crash, accepts exactly the files the rules
// accept with the same marks, refuses the others with a message naming the trouble, and a store
// filled from an accepted list writes back a list that parses to the same marks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "OutputModel.h"
#include "marks/MarkListFile.h"
#include "marks/MarkStore.h"

using namespace sonaveld;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const MarkListParse parse = ParseMarkList(text);
  std::vector<int64_t> expected;
  const bool accepted = check::ModelParseMarkList(text, &expected);

  FUZZ_CHECK(parse.status.ok() == accepted, "parser accepts where the rules refuse, or the reverse");
  if (!accepted) {
    FUZZ_CHECK(!parse.status.message().empty(), "a refusal without a message");
    FUZZ_CHECK(parse.marks.empty(), "a refused list still gives marks");
    return 0;
  }
  FUZZ_CHECK(parse.marks == expected, "marks differ from the rules");

  MarkStore store;
  store.ReplaceAll(parse.marks);
  FUZZ_CHECK(store.Sorted() == expected, "store does not hold the marks read");
  std::string written;
  for (const std::string& line : store.Memo2()) written += line + "\r\n";
  const MarkListParse again = ParseMarkList(written);
  FUZZ_CHECK(again.status.ok() && again.marks == expected, "written list does not read back");
  return 0;
}
