// The summary's RTF reader, and the link rule at every position of what it read.
#include "cardwindow/RtfReader.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const RtfDocument doc = readRtf(fuzz::bytesOf(data, size));
  const std::string text = doc.text();
  for (size_t i = 0; i <= text.size() + 1; ++i) {
    (void)doc.formatAt(i);
    if (isLinkCharacter(doc, i)) (void)linkAt(doc, i);
  }
  for (int c = -1; c < 4; ++c) (void)doc.color(c);
  return 0;
}
