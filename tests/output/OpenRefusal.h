#pragma once

namespace sonaveld::test {

// A file system that refuses unnamed files, for the tests of the fallback to a named temporary
// file. The test executable that links OpenRefusal.cpp puts its own open() in front of the C
// library's: while a refusal is set, every open with O_TMPFILE fails with that errno, as it does
// on file systems without support for it; every other open passes straight through.
class OpenRefusal {
 public:
  // Refuses O_TMPFILE opens with error from now on; 0 lets them through again.
  static void Refuse(int error);
  // O_TMPFILE opens asked for since the last Refuse() call, refused ones included.
  static int Attempts();
};

}  // namespace sonaveld::test
