#pragma once
#include <cstdint>
#include <cstdio>

#include "io/ByteSink.h"

namespace sonaveld {

// Appends n bytes of `from`, starting at byte offset, to the end of `to`, inside the operating
// system (no copy through this process's memory) where it offers that; kUnsupported where it does
// not, before anything was written. kReadFailed when the source ended early (it shrank).
ByteSink::Copy KernelCopy(std::FILE* from, int64_t offset, std::FILE* to, int64_t n);

}  // namespace sonaveld
