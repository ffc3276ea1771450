#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "marks/MarkListFile.h"
#include "support/RenameFault.h"
#include "support/TempDir.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(MarkListFileName, CutsAtTheLastDotOfTheFileNameOnly) {
  EXPECT_EQ(MarkListFileName("/w/take1.wav"), "/w/take1.txt");
  EXPECT_EQ(MarkListFileName("/w/a.b.wav"), "/w/a.b.txt");
  EXPECT_EQ(MarkListFileName("/my.dir/take"), "/my.dir/take.txt");
  EXPECT_EQ(MarkListFileName("take"), "take.txt");
  const std::string longName = "/w/" + std::string(600, 'x') + ".wav";
  EXPECT_EQ(MarkListFileName(longName), "/w/" + std::string(600, 'x') + ".txt");
}

TEST(MarkListFile, RoundTripWritesAscendingCrLfLines) {
  TempDir dir;
  const std::string wav = dir.File("take1.wav");
  MarkStore marks;
  for (int64_t p : {300, 100, 200}) ASSERT_TRUE(marks.Add(p).ok());
  ASSERT_TRUE(WriteMarkListFile(wav, marks).ok());
  EXPECT_EQ(ReadFileBytes(dir.File("take1.txt")), Bytes("100\r\n200\r\n300\r\n"));
  EXPECT_EQ(dir.Listing(), "take1.txt");  // no temporary file left behind

  MarkStore back;
  ASSERT_TRUE(back.Add(5).ok());
  ASSERT_TRUE(ReadMarkListFile(wav, back).ok());
  EXPECT_EQ(back.Sorted(), (std::vector<int64_t>{100, 200, 300}));
  EXPECT_EQ(back.Memo1(), back.Memo2());
}

TEST(MarkListFile, WritingWithoutMarksIsRefusedAndWritesNothing) {
  TempDir dir;
  MarkStore marks;
  EXPECT_EQ(WriteMarkListFile(dir.File("a.wav"), marks).message(),
            "マークポイトンがありません。ポイントを指定して下さい。");
  EXPECT_EQ(dir.Listing(), "");
}

TEST(MarkListFile, MissingFileLeavesTheMarks) {
  TempDir dir;
  MarkStore marks;
  ASSERT_TRUE(marks.Add(42).ok());
  EXPECT_EQ(ReadMarkListFile(dir.File("a.wav"), marks).message(),
            "マークポイトンを記録しているファイルがありません。");
  EXPECT_EQ(marks.Sorted(), (std::vector<int64_t>{42}));
}

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<int64_t> marks;  // expected when ok
  std::string message;         // expected refusal, empty when ok
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseMarkListTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseMarkListTest, AllOrNothing) {
  const auto& c = GetParam();
  const MarkListParse r = ParseMarkList(c.text);
  EXPECT_EQ(r.status.message(), c.message);
  EXPECT_EQ(r.marks, c.marks);
}

std::string ManyLines(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += std::to_string(i) + "\n";
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseMarkListTest,
    ::testing::Values(
        ParseCase{"CrLf", "100\r\n200\r\n", {100, 200}, ""},
        ParseCase{"Lf", "100\n200", {100, 200}, ""},
        ParseCase{"LastLineOneCharacterNoEnd", "100\n5", {5, 100}, ""},
        ParseCase{"Cr", "100\r200\r", {100, 200}, ""},
        ParseCase{"Empty", "", {}, ""},
        ParseCase{"DescendingIsSorted", "300\r\n200\r\n100\r\n", {100, 200, 300}, ""},
        ParseCase{"DuplicatesDropped", "5\n5\n3\n", {3, 5}, ""},
        ParseCase{"BlanksAndPlusSign", " 7 \n+8\n", {7, 8}, ""},
        ParseCase{"Beyond32Bits", "3000000000\n", {3000000000LL}, ""},
        ParseCase{"EmptyLineInside", "1\n\n2\n", {}, "'' は整数ではありません"},
        ParseCase{"Text", "1\nabc\n", {}, "'abc' は整数ではありません"},
        ParseCase{"Fraction", "1.5\n", {}, "'1.5' は整数ではありません"},
        ParseCase{"Beyond64Bits", "9223372036854775808\n", {}, "'9223372036854775808' は整数ではありません"},
        ParseCase{"Zero", "10\n0\n", {}, "'0' はマーク位置として使えません。"},
        ParseCase{"Negative", "-3\n", {}, "'-3' はマーク位置として使えません。"},
        ParseCase{"MoreThan255", ManyLines(256), {}, "マークは255個までです。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseMarkList, TakesExactly255) {
  const MarkListParse r = ParseMarkList(ManyLines(255));
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.marks.size(), 255u);
}

TEST(MarkListFile, BadFileLeavesTheMarksAsTheyWere) {
  TempDir dir;
  WriteFileBytes(dir.File("a.txt"), Bytes("10\r\n20\r\nx\r\n"));
  MarkStore marks;
  ASSERT_TRUE(marks.Add(99).ok());
  EXPECT_EQ(ReadMarkListFile(dir.File("a.wav"), marks).message(), "'x' は整数ではありません");
  EXPECT_EQ(marks.Sorted(), (std::vector<int64_t>{99}));
}

TEST(MarkListFile, ReplacesAnEarlierFileWhole) {
  TempDir dir;
  WriteFileBytes(dir.File("a.txt"), Bytes("1\r\n2\r\n3\r\n4\r\n5\r\n"));
  MarkStore marks;
  ASSERT_TRUE(marks.Add(8).ok());
  ASSERT_TRUE(WriteMarkListFile(dir.File("a.wav"), marks).ok());
  EXPECT_EQ(ReadFileBytes(dir.File("a.txt")), Bytes("8\r\n"));
}

TEST(MarkListFile, FailedLastRenameKeepsTheEarlierFile) {
  TempDir dir;
  WriteFileBytes(dir.File("a.txt"), Bytes("1\r\n2\r\n"));
  MarkStore marks;
  ASSERT_TRUE(marks.Add(8).ok());
  // The new list is complete under a temporary name; only putting it in place fails.
  test::RenameFault::FailNextOnto(dir.File("a.txt"), EIO);
  EXPECT_EQ(WriteMarkListFile(dir.File("a.wav"), marks).message(),
            "ファイル " + dir.File("a.txt") + " に書き込めません。");
  EXPECT_EQ(test::RenameFault::Failures(), 1);
  EXPECT_EQ(ReadFileBytes(dir.File("a.txt")), Bytes("1\r\n2\r\n"));
  EXPECT_EQ(dir.Listing(), "a.txt");
}

}  // namespace
}  // namespace sonaveld
