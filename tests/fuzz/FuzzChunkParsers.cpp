// The parsers of the chunks that outputs rebuild or edit, on arbitrary bytes: cue points and LIST
// adtl entries read back the same from what the builders make of them; an iXML text's time
// reference reads back as set (the halves it has elements for), and a text without the time elements comes back unchanged; a bext
// body's TimeReference reads back as set, every other byte kept. A LIST INFO titled from the body
// holds the title once, as its one INAM, and titling it again changes nothing.
//
// Input: 8 bytes of a time reference, then the body given to every parser.
#include <cstring>
#include <optional>

#include "FuzzSupport.h"
#include "document/BroadcastTime.h"
#include "document/CueChunks.h"
#include "document/LittleEndian.h"
#include "document/RiffChunks.h"
#include "io/ByteSource.h"
#include "output/InfoTitle.h"

using namespace sonaveld;

namespace {

// The INAM texts of a whole LIST chunk (its sub-chunks that fit it).
std::vector<std::string> Titles(const std::vector<uint8_t>& list) {
  FUZZ_CHECK(list.size() >= 8 && LoadU32(list.data() + 4) + 8 <= list.size(), "LIST size field wrong");
  MemorySource source(list.data() + 8, LoadU32(list.data() + 4));
  std::vector<std::string> titles;
  for (const RiffChunk& item : WalkChunks(source, 4, source.Size()).chunks) {
    if (!item.Is("INAM")) continue;
    std::string text(static_cast<size_t>(item.size), '\0');
    source.ReadAt(item.Body(), text.data(), item.size);
    titles.push_back(text);
  }
  return titles;
}

void CheckTitle(const std::vector<uint8_t>& body, const std::string& title) {
  const std::vector<uint8_t> titled = InfoWithTitle(body.data(), body.size(), title);
  if (body.size() < 4) return;  // no list type: an INAM follows what there is
  FUZZ_CHECK(Titles(titled) == std::vector<std::string>{title + '\0'}, "INFO not titled once");
  const std::vector<uint8_t> again = InfoWithTitle(titled.data() + 8, LoadU32(titled.data() + 4), title);
  FUZZ_CHECK(again == titled, "titling an INFO list twice changed it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  uint64_t reference = 0;
  std::memcpy(&reference, data, 8);
  const std::vector<uint8_t> body(data + 8, data + size);

  const std::string text(body.begin(), body.end());
  CheckTitle(body, text.substr(0, text.find('\0')));

  const std::vector<CuePoint> points = ParseCuePoints(body.data(), body.size());
  const std::vector<uint8_t> cue = BuildCueChunk(points);
  FUZZ_CHECK(ParseCuePoints(cue.data() + 8, cue.size() - 8) == points, "cue points do not read back");
  const std::vector<AdtlEntry> entries = ParseAdtl(body.data(), body.size());
  const std::vector<uint8_t> adtl = BuildAdtlChunk(entries);
  FUZZ_CHECK(ParseAdtl(adtl.data() + 8, adtl.size() - 8) == entries, "adtl entries do not read back");

  const std::string xml(body.begin(), body.end());
  const std::string set = SetIxmlTimeReference(xml, reference);
  if (IxmlTimeReference(xml)) {
    // The halves the text has read back as set; one it lacks reads as 0.
    const std::optional<uint64_t> halves = IxmlTimeReference(SetIxmlTimeReference(xml, UINT64_MAX));
    FUZZ_CHECK(halves && *halves != 0 && IxmlTimeReference(set) == (reference & *halves),
               "iXML time reference does not read back");
  } else {
    FUZZ_CHECK(set == xml, "iXML without time elements changed");
  }

  std::vector<uint8_t> bext = body;
  SetBextTimeReference(bext.data(), bext.size(), reference);
  const bool holds = body.size() >= kBextTimeReferenceOffset + 8;
  FUZZ_CHECK(BextTimeReference(bext.data(), bext.size()) == (holds ? std::optional(reference) : std::nullopt),
             "bext TimeReference does not read back");
  if (holds) std::memcpy(bext.data() + kBextTimeReferenceOffset, body.data() + kBextTimeReferenceOffset, 8);
  FUZZ_CHECK(bext == body, "bext bytes besides the TimeReference changed");
  return 0;
}
