#pragma once
// The user's own address (the return address of labels and envelopes): eighteen values
// in section AddressBook of the settings file, keyed by the field names "Mr/Ms" .. "Fax".

#include "printing/LabelText.h"

#include <filesystem>

namespace mv {

// A box holds at most 69 characters.
inline constexpr size_t kMyAddressChars = 69;

// The stored values whole (a missing key is empty), as printing uses them.
LabelFields readMyAddress(const std::filesystem::path& ini);
// What the dialog shows: each value cut to what its box holds.
LabelFields myAddressForBoxes(const LabelFields& stored);
// What OK writes: a box the user left as it was shown keeps its stored value whole.
LabelFields myAddressToWrite(const LabelFields& stored, const LabelFields& boxes);
// All eighteen keys in their order, empty ones included.
[[nodiscard]] bool writeMyAddress(const std::filesystem::path& ini, const LabelFields& values);

}  // namespace mv
