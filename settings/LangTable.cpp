#include "settings/LangTable.h"

#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

namespace mv {
namespace {

constexpr size_t kLanguageBuffer = 30;
constexpr size_t kNameBuffer = 20;
constexpr size_t kWordBuffer = 14;

constexpr std::array<std::string_view, 12> kEnglishMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kEnglishWeekdays = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// A value that is empty or starts with a blank or control character gives the default.
std::string readOr(const Profile& p, std::string_view key, std::string_view def, size_t buffer) {
  std::string v = p.readString(key, def, buffer);
  if (!isPresent(v)) {
    v = std::string(def);
    if (v.size() > buffer - 1) v.resize(buffer - 1);
  }
  return v;
}

const std::string kEmpty;

}  // namespace

LangTable::LangTable() : language_("English") {
  for (size_t i = 0; i < months_.size(); ++i) months_[i] = std::string(kEnglishMonths[i]);
  for (size_t i = 0; i < weekdays_.size(); ++i) weekdays_[i] = std::string(kEnglishWeekdays[i]);
  for (size_t i = 0; i < words_.size(); ++i) words_[i] = std::string(keys::lang::Words[i]);
}

LangTable LangTable::load(const std::filesystem::path& langDat, int lang) {
  if (lang < 0 || lang > 20) lang = 0;
  LangTable t;
  const Profile names(langDat, std::string(keys::section::Lang));
  t.language_ = readOr(names, std::to_string(lang), "English", kLanguageBuffer);

  const Profile words(langDat, t.language_);
  for (size_t i = 0; i < t.months_.size(); ++i)
    t.months_[i] = readOr(words, keys::lang::Months[i], kEnglishMonths[i], kNameBuffer);
  for (size_t i = 0; i < t.weekdays_.size(); ++i)
    t.weekdays_[i] = readOr(words, keys::lang::Weekdays[i], kEnglishWeekdays[i], kNameBuffer);
  for (size_t i = 0; i < t.words_.size(); ++i)
    t.words_[i] = readOr(words, keys::lang::Words[i], keys::lang::Words[i], kWordBuffer);
  return t;
}

const std::string& LangTable::monthName(int month) const noexcept {
  return month >= 0 && month < 12 ? months_[static_cast<size_t>(month)] : kEmpty;
}

const std::string& LangTable::weekdayName(int weekday) const noexcept {
  return weekday >= 0 && weekday < 7 ? weekdays_[static_cast<size_t>(weekday)] : kEmpty;
}

std::string LangTable::monthAbbrev(int month) const { return monthName(month).substr(0, 3); }

std::string LangTable::weekdayAbbrev(int weekday) const {
  return weekdayName(weekday).substr(0, 3);
}

std::string LangTable::word(std::string_view key) const {
  for (size_t i = 0; i < words_.size(); ++i)
    if (keys::lang::Words[i] == key) return words_[i];
  return std::string(key);
}

}  // namespace mv
