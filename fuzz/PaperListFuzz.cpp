// pagesize.dat: the rows, and the row a stored index picks.
#include "fuzz/FuzzSupport.h"
#include "printing/PaperList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mv;
  const auto rows = parsePaperList(fuzz::bytesOf(data, size));
  if (rows.size() > kMaxPaperRows) std::abort();
  for (int index : {-1, 0, 5, 99, 100, 1000})
    if (paperIndexOrFirst(index, rows.size()) >= static_cast<int>(rows.size())) std::abort();
  return 0;
}
