#include "printing/MyAddress.h"

#include "settings/Keys.h"
#include "settings/Profile.h"

namespace mv {

LabelFields readMyAddress(const std::filesystem::path& ini) {
  const Profile profile(ini, std::string(keys::section::AddressBook));
  LabelFields values;
  for (int i = 0; i < kLabelFieldCount; ++i)
    values[static_cast<size_t>(i)] = profile.readString(labelFieldKey(i), "", 4096);
  return values;
}

LabelFields myAddressForBoxes(const LabelFields& stored) {
  LabelFields shown;
  for (size_t i = 0; i < shown.size(); ++i) shown[i] = stored[i].substr(0, kMyAddressChars);
  return shown;
}

LabelFields myAddressToWrite(const LabelFields& stored, const LabelFields& boxes) {
  const LabelFields shown = myAddressForBoxes(stored);
  LabelFields out;
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = boxes[i] == shown[i] ? stored[i] : boxes[i].substr(0, kMyAddressChars);
  return out;
}

bool writeMyAddress(const std::filesystem::path& ini, const LabelFields& values) {
  Profile profile(ini, std::string(keys::section::AddressBook));
  bool ok = true;
  for (int i = 0; i < kLabelFieldCount; ++i)
    ok = profile.writeString(labelFieldKey(i), values[static_cast<size_t>(i)]) && ok;
  return profile.flush() && ok;
}

}  // namespace mv
