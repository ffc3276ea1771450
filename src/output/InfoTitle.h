#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sonaveld {

// A whole LIST "INFO" chunk from the body of one (its list type first, size bytes): the same
// sub-chunks in the same order with the first "INAM" holding title (a zero byte after it) and any
// further "INAM" left out; without one, an "INAM" first. Sub-chunks past the last one that fits
// the body are kept as bytes, as they stood.
std::vector<uint8_t> InfoWithTitle(const uint8_t* body, size_t size, const std::string& title);

// A new LIST "INFO" chunk holding only the "INAM" title.
std::vector<uint8_t> InfoList(const std::string& title);

}  // namespace sonaveld
