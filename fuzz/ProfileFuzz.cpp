// The INI profile: any file read by section and key, written to, and read again.
#include "fuzz/FuzzSupport.h"
#include "settings/Profile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const std::string_view bytes = fuzz::bytesOf(data, size);
  const auto path = fuzz::writeInput("mervane.ini", bytes);
  for (const char* section : {"Mervane", "Printing", "Recent", ""}) {
    Profile p(path, section);
    for (const std::string& key : p.keys()) {
      (void)p.readString(key, "", 256);
      (void)p.readInt(key, 7);
      (void)parseIntList(p.readString(key, "", 1));
    }
  }
  // A write keeps every other line, and reads back.
  Profile p(path, "Mervane");
  if (p.writeString("FuzzKey", "value") && p.readString("FuzzKey", "", 64) != "value")
    std::abort();
  (void)Profile::leadingInt(bytes);
  return 0;
}
