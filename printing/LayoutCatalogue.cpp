#include "printing/LayoutCatalogue.h"

#include <algorithm>
#include <array>

namespace mv {
namespace {

constexpr std::array<std::string_view, 29> kShortNames{{
    "Yearly Calendar A", "Yearly Calendar B", "Yearly Calendar C", "Yearly Calendar D",
    "Monthly Calendar A", "Monthly Calendar B", "Monthly Calendar C",
    "Weekly Calendar A", "Weekly Calendar B", "Weekly Calendar C", "Weekly Calendar D",
    "Daily Calendar A", "Daily Calendar B", "Daily Calendar C", "Daily Calendar D",
    "",
    "1 Line Address", "2 Line Address", "3 Line Address", "5 Line Address",
    "Detailed Address", "Envelope", "Labels",
    "",
    "Expenses - Detailer", "Expenses - Weekly", "Expenses - Monthly", "Expenses - Annual",
    "Interest table",
}};

// The longer names that describe a layout (the layout button's tooltip, the CLI's list).
constexpr std::array<std::string_view, 29> kLongNames{{
    "Yearly calendar, 1 year/page", "Yearly calendar, 2 year/page",
    "Yearly calendar, 3 year/page", "Yearly calendar, 1 year/page, list view",
    "Monthly calendar, landscape view", "Monthly calendar, portrait view",
    "Monthly calendar, 2 pages per month",
    "Weekly calendar, Style A", "Weekly calendar, Style B",
    "Weekly calendar, Style C, 2 pages per week", "Weekly calendar, Style D, 2 pages per week",
    "Daily calendar, Style A", "Daily calendar, Style B",
    "Daily calendar, 2 days per page, Diary", "Daily calendar, 2 days per page",
    "",
    "Addressbook, 1 Line per subject", "Addressbook, 2 Line per subject",
    "Addressbook, 3 Line per subject", "Addressbook, 5 Line per subject",
    "Detailed Addressbook", "Envelope", "Labels",
    "",
    "Expense form, detailer", "Expense form, weekly", "Expense form, monthly",
    "Expense form, yearly", "Interest table",
}};

// Entries per page of 1074..1079, by lines per entry on a form of 30 lines.
constexpr std::array<int, 6> kEntriesPerPage{30, 15, 10, 6, 5, 1};

}  // namespace

std::string_view layoutShortName(int layoutId) noexcept {
  if (layoutId < 0 || layoutId >= static_cast<int>(kShortNames.size())) return {};
  return kShortNames[layoutId];
}

std::string_view layoutLongName(int layoutId) noexcept {
  if (layoutId < 0 || layoutId >= static_cast<int>(kLongNames.size())) return {};
  return kLongNames[layoutId];
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

int entriesPerPage(int layoutCommand, int labelsPerSheet) noexcept {
  layoutCommand = normalizeLayoutCommand(layoutCommand);
  if (layoutCommand == kLabelsLayout) return std::max(1, labelsPerSheet);
  return kEntriesPerPage[layoutCommand - kFirstDrawnLayout];
}

bool isFieldLinePosition(int position) noexcept {
  return position >= 1 && position <= kFieldLineCount;
}

std::string_view fieldLineDefault(int position) noexcept {
  // Mr/Ms, First, Last, Job Title, Department, Company, Street 1, Street 2, City, State,
  // Zip, Country, then the six numbers and addresses that labels leave out.
  constexpr std::array<std::string_view, kFieldLineCount> defaults{{
      "1,1,0,0,0,0", "1,0,0,0,0,0", "1,0,0,0,0,0", "1,1,0,0,0,0", "1,1,0,0,0,0",
      "1,1,0,1,0,0", "1,1,0,0,0,0", "1,1,0,0,0,0", "1,1,1,0,0,0", "1,0,0,0,0,0",
      "1,1,1,0,0,0", "1,0,0,0,0,0", "0,1,0,0,0,0", "0,1,0,0,0,0", "0,1,0,0,0,0",
      "0,1,0,0,0,0", "0,1,0,0,0,0", "0,1,0,0,0,0",
  }};
  return isFieldLinePosition(position) ? defaults[static_cast<size_t>(position - 1)]
                                       : kFieldLineFallback;
}

std::string fieldLineDefaultError(int position) {
  return "error:\nMDIClient::DefaultProps(" + std::to_string(position) + ")";
}

}  // namespace mv
