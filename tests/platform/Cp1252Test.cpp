#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {

TEST(Cp1252, everyByteSurvivesTheRoundTripThroughQString) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  bool lossless = false;
  EXPECT_EQ(toCp1252(fromCp1252(all), &lossless), all);
  EXPECT_TRUE(lossless);
}

TEST(Cp1252, euroAndQuotesMapToTheirUnicodeCharacters) {
  EXPECT_EQ(fromCp1252("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(fromCp1252("\x93x\x94"), QString::fromUtf8("\u201Cx\u201D"));
  bool lossless = true;
  EXPECT_EQ(toCp1252(QString::fromUtf8("\u4E2D"), &lossless), "?");
  EXPECT_FALSE(lossless);
  EXPECT_FALSE(isCp1252(QChar(0x4E2D)));
}

TEST(Cp1252, keepLeavesOutWhatTheCodePageCannotHoldAndCountsIt) {
  struct Row {
    const char* utf8;
    const char* kept;
    int left;
  };
  const Row rows[] = {
      {"Z\xC3\xBCrich \xE2\x82\xAC", "Z\xC3\xBCrich \xE2\x82\xAC", 0},  // ü and € are in it
      {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "", 6},      // Москва
      {"a\xF0\x9F\x98\x80" "b", "ab", 1},  // an emoji is one character, not two halves
      {"", "", 0},
  };
  for (const Row& row : rows) {
    int left = -1;
    EXPECT_EQ(keepCp1252(QString::fromUtf8(row.utf8), &left), QString::fromUtf8(row.kept))
        << row.utf8;
    EXPECT_EQ(left, row.left) << row.utf8;
  }
}

TEST(PathText, pathsKeepTheFileSystemsBytes) {
  const std::string moscow = "/b/\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.adr";
  EXPECT_EQ(pathText(std::filesystem::path(moscow)), moscow);
  EXPECT_EQ(pathFromText(moscow), std::filesystem::path(moscow));

  struct Row {
    const char* a;
    const char* b;
    bool same;
  };
  const Row rows[] = {
      {"/b/Book.ADR", "/b/book.adr", true},
      {"/b/\xD0\x9C.adr", "/b/\xD0\xBC.adr", true},  // М and м
      // Bytes that case-fold as Windows-1252 letters (Œ/œ) are not a case pair in UTF-8:
      // Ќ and М differ.
      {"/b/\xD0\x8C.adr", "/b/\xD0\x9C.adr", false},
      {"/b/\xFC.adr", "/b/\xDC.adr", false},  // not UTF-8: the same only byte for byte
      {"/b/\xFC.adr", "/b/\xFC.adr", true},
  };
  for (const Row& row : rows) EXPECT_EQ(samePathText(row.a, row.b), row.same) << row.a;
}

TEST(PathText, anEntryWrittenInWindows1252ByAnEarlierVersionStillFindsItsFile) {
  test::TestDir dir;
  const std::filesystem::path file = dir / "M\xC3\xBCller.adr";  // Müller, as named on disk
  test::writeFile(file, "x");
  const std::string older = dir.path().string() + "/M\xFCller.adr";
  EXPECT_EQ(pathFromText(older), file);
  // Nothing by either reading: the text is taken as it is.
  const std::string gone = dir.path().string() + "/G\xFCnter.adr";
  EXPECT_EQ(pathFromText(gone), std::filesystem::path(gone));
}

}  // namespace mv
