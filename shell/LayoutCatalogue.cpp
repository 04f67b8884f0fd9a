#include "shell/LayoutCatalogue.h"

#include <array>

namespace mv {
namespace {

struct Names {
  std::string_view shortName;
  std::string_view longName;
};

constexpr std::array<Names, 29> kCatalogue{{
    {"Yearly Calendar A", "Yearly calendar, 1 year/page"},
    {"Yearly Calendar B", "Yearly calendar, 2 year/page"},
    {"Yearly Calendar C", "Yearly calendar, 3 year/page"},
    {"Yearly Calendar D", "Yearly calendar, 1 year/page, list view"},
    {"Monthly Calendar A", "Monthly calendar, landscape view"},
    {"Monthly Calendar B", "Monthly calendar, portrait view"},
    {"Monthly Calendar C", "Monthly calendar, 2 pages per month"},
    {"Weekly Calendar A", "Weekly calendar, Style A"},
    {"Weekly Calendar B", "Weekly calendar, Style B"},
    {"Weekly Calendar C", "Weekly calendar, Style C, 2 pages per week"},
    {"Weekly Calendar D", "Weekly calendar, Style D, 2 pages per week"},
    {"Daily Calendar A", "Daily calendar, Style A"},
    {"Daily Calendar B", "Daily calendar, Style B"},
    {"Daily Calendar C", "Daily calendar, 2 days per page, Diary"},
    {"Daily Calendar D", "Daily calendar, 2 days per page"},
    {"", ""},
    {"1 Line Address", "Addressbook, 1 Line per subject"},
    {"2 Line Address", "Addressbook, 2 Line per subject"},
    {"3 Line Address", "Addressbook, 3 Line per subject"},
    {"5 Line Address", "Addressbook, 5 Line per subject"},
    {"Detailed Address", "Detailed Addressbook"},
    {"Envelope", "Envelope"},
    {"Labels", "Labels"},
    {"", ""},
    {"Expenses - Detailer", "Expense form, detailer"},
    {"Expenses - Weekly", "Expense form, weekly"},
    {"Expenses - Monthly", "Expense form, monthly"},
    {"Expenses - Annual", "Expense form, yearly"},
    {"Interest table", "Interest table"},
}};

}  // namespace

std::string_view layoutShortName(int layoutId) noexcept {
  if (layoutId < 0 || layoutId >= static_cast<int>(kCatalogue.size())) return {};
  return kCatalogue[layoutId].shortName;
}

std::string_view layoutLongName(int layoutId) noexcept {
  if (layoutId < 0 || layoutId >= static_cast<int>(kCatalogue.size())) return {};
  return kCatalogue[layoutId].longName;
}

int normalizeLayoutCommand(int command) noexcept {
  return command >= kFirstDrawnLayout && command <= kLastDrawnLayout ? command : kDefaultLayout;
}

int nextLayoutCommand(int command) noexcept {
  command = normalizeLayoutCommand(command);
  return command >= kEnvelopeLayout ? kFirstDrawnLayout : command + 1;
}

int priorLayoutCommand(int command) noexcept {
  command = normalizeLayoutCommand(command);
  return command == kFirstDrawnLayout ? kLabelsLayout : command - 1;
}

}  // namespace mv
