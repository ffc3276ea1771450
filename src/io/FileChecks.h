#pragma once
#include <cstdint>
#include <string>

namespace sonaveld {

// True when both paths name one existing file (any spelling, links included).
bool IsSameFile(const std::string& a, const std::string& b);

// Free bytes available to the program on the volume of path's folder; -1 when the query fails.
int64_t FreeBytesForOutput(const std::string& path);

}  // namespace sonaveld
