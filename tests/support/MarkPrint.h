#pragma once
#include <ostream>

#include "marks/NamedMarks.h"

namespace sonaveld {

// Marks in test failures as "frame:name" rather than their bytes.
inline void PrintTo(const NamedMark& mark, std::ostream* os) { *os << mark.frame << ":\"" << mark.name << "\""; }

}  // namespace sonaveld
