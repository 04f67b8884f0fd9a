#include "platform/Cp1252.h"

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

}  // namespace mv
