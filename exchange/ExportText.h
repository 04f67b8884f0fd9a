#pragma once
// The plain-text export: one block per record in list order, each line written only when
// its field is present, the block closed by a line of underscores. Line ends are LF.

#include "store/AddressRecord.h"

#include <string>
#include <vector>

namespace mv {

std::string textExportBytes(const std::vector<AddressRecord>& records);

}  // namespace mv
