#include "installer/SetupList.h"

#include "installer/DesktopEntries.h"
#include "settings/Profile.h"


namespace mv {
namespace {

constexpr const char* kEnd = "_END_";
// "up to 20 characters" with the terminating zero: names of up to 19 characters.
constexpr size_t kNameBuffer = 20;
// Generous, so that an over-long target reaches the length check whole instead of cut.
constexpr size_t kTargetBuffer = 4096;

std::vector<std::string> readList(const std::filesystem::path& ini, const char* section) {
  Profile list(ini, section);
  std::vector<std::string> names;
  for (int i = 1; i <= kMaxListedFiles; ++i) {
    std::string name = list.readString(std::to_string(i), kEnd, kNameBuffer);
    if (name == kEnd) break;
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace

std::string withTrailingSlash(std::string target) {
  if (target.empty() || target.back() != '/') target += '/';
  return target;
}

bool staysInside(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  for (const auto& part : std::filesystem::path(name))
    if (part == "..") return false;
  return true;
}

std::string defaultTarget() {
  return withTrailingSlash(withTrailingSlash(xdgDataHome().string()) + "Mervane");
}

SetupList readSetupList(const std::filesystem::path& ini) {
  SetupList list;
  Profile setup(ini, "Setup");
  list.totalFiles = setup.readInt("Total Files", 2);
  list.target = withTrailingSlash(setup.readString("Target_Directory", defaultTarget(), kTargetBuffer));
  list.files = readList(ini, "Files");
  list.data = readList(ini, "Data");
  return list;
}

bool writeSetupTarget(const std::filesystem::path& ini, const std::string& target) {
  Profile setup(ini, "Setup");
  return setup.writeString("Target_Directory", target);
}

}  // namespace mv
