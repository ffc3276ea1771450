#pragma once
#include <optional>
#include <string>

namespace sonaveld {

// path up to the last "." of its file name (the part after the last folder separator), that dot
// and what follows it cut off: "/w/take1.wav" → "/w/take1". nullopt when the file name has no
// ".": a dot in a folder's name never counts. Names derived from a file (the mark list file, the
// numbered outputs, the normalizer's "-n" and "-orig" files) all start from this.
std::optional<std::string> PathWithoutExtension(const std::string& path);

}  // namespace sonaveld
