#include "store/AddressRecord.h"

#include <cstdio>

namespace mv {
namespace {

constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {FieldId::Group, "Group", "Group", "Group", 34, 131},
    {FieldId::MrMs, "Mr/Ms", "Salutation", "Salutation", 9, 132},
    {FieldId::First, "First", "First Name", "First Name", 23, 133},
    {FieldId::Last, "Last", "Last Name", "Last Name", 23, 134},
    {FieldId::Title, "Title", "Job Title", "Job Title", 39, 135},
    {FieldId::Dept, "Dept", "Department", "Department", 39, 136},
    {FieldId::Company, "Company", "Company", "Company", 39, 137},
    {FieldId::Address1, "Address", "Street Address Line 1", "Street Address Line 1", 64, 138},
    {FieldId::Address2, "", "Street Address Line 2", "Street Address Line 2", 64, 139},
    {FieldId::City, "City", "City", "City", 49, 140},
    {FieldId::State, "State", "State", "State", 49, 141},
    {FieldId::Zip, "Zip", "Postal Code", "Postal Code", 19, 142},
    {FieldId::Country, "Country", "Country", "Country", 49, 143},
    {FieldId::Home, "Home", "Home Phone", "Home Phone", 49, 144},
    {FieldId::Office, "Office", "Business Phone", "Business Phone", 49, 145},
    {FieldId::Mobile, "Mobile", "Mobile", "Mobile", 49, 146},
    {FieldId::Email, "email", "E-mail Address", "E-mail Address", 49, 147},
    {FieldId::WebSite, "Web Site", "Web Site", "Web Site", 49, 148},
    {FieldId::Fax, "Fax", "Fax", "Fax", 49, 149},
    {FieldId::Describe, "Describe", "Describe", "Describe", 49, 150},
    {FieldId::Buffer, "Buffer", "buffer", "Notes", 49, 151},
    {FieldId::Home2, "Home2", "Home Phone'", "Home Phone'", 49, 152},
    {FieldId::Office2, "Office2", "Business Phone'", "Business Phone'", 49, 153},
    {FieldId::Email2, "email2", "E-mail Address'", "E-mail Address'", 49, 154},
    {FieldId::Web2, "Web2", "Web Site'", "Web Site'", 49, 155},
    {FieldId::NewsGroup, "News Group", "News Group", "News Group", 49, 156},
    {FieldId::FtpSite, "FTP Site", "FTP Site", "FTP Site", 49, 157},
    {FieldId::Other, "Other", "Other", "Other", 49, 158},
}};

}  // namespace

const std::array<FieldInfo, kFieldCount>& fieldTable() noexcept { return kFields; }

void assignNameKey(std::string& key, std::string_view first, std::string_view last,
                   std::string_view company, int cardSort) {
  std::string_view parts[3] = {first, last, company};
  if (cardSort == 1) {
    parts[0] = last;
    parts[1] = first;
  } else if (cardSort == 2) {
    parts[0] = company;
    parts[1] = first;
    parts[2] = last;
  }
  key.reserve(parts[0].size() + parts[1].size() + parts[2].size() + 2);
  key.assign(parts[0]);
  if (!key.empty()) key += ' ';
  key += parts[1];
  if (!key.empty()) key += ' ';
  key += parts[2];
}

const FieldInfo& fieldInfo(FieldId f) noexcept { return kFields[static_cast<size_t>(toInt(f))]; }

std::string nameKey(std::string_view first, std::string_view last, std::string_view company,
                    int cardSort) {
  std::string key;
  assignNameKey(key, first, last, company, cardSort);
  return key;
}

std::string nameKey(const AddressRecord& r, int cardSort) {
  return nameKey(r[FieldId::First], r[FieldId::Last], r[FieldId::Company], cardSort);
}

std::string duplicateSuffix(int index) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "[Dup:%d]", index);
  return buf;
}

char savedInitial(std::string_view key) noexcept {
  if (key.empty()) return '_';
  const char c = key.front();
  return (c >= 'A' && c <= 'z') ? c : '_';
}

std::string cleanFieldText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n' || c == '\r' || (c >= 0x14 && c <= 0x16)) continue;
    out.push_back(c);
  }
  return out;
}

std::string cleanNotesText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c >= 0x14 && c <= 0x16) continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace mv
