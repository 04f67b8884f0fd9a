#pragma once
// The catalogue of layouts: LayoutId 0..28, command id 1058 + LayoutId. This program
// draws 1074..1080 (five address-book layouts, Envelope, Labels).

#include <string>
#include <string_view>

namespace mv {

inline constexpr int kLayoutCommandBase = 1058;
inline constexpr int kFirstDrawnLayout = 1074;
inline constexpr int kLastDrawnLayout = 1080;
inline constexpr int kDefaultLayout = 1076;
inline constexpr int kEnvelopeLayout = 1079;
inline constexpr int kLabelsLayout = 1080;
inline constexpr int kPagesViewKind = 218;

// Empty for numbers outside 0..28 and for the unused ids 15 and 23.
std::string_view layoutShortName(int layoutId) noexcept;
inline std::string_view layoutShortNameOfCommand(int command) noexcept {
  return layoutShortName(command - kLayoutCommandBase);
}

// Anything outside 1074..1080 becomes 1076.
int normalizeLayoutCommand(int command) noexcept;
// Next Layout goes 1074..1079 and wraps from 1079 and 1080 to 1074 (so Labels is reached
// only by Prior); Prior goes down and wraps from 1074 to 1080.
int nextLayoutCommand(int command) noexcept;
int priorLayoutCommand(int command) noexcept;

// The five address-book layouts, which share the page furniture, heading and footnote.
constexpr bool isAddressBookLayout(int command) noexcept {
  return command >= kFirstDrawnLayout && command < kEnvelopeLayout;
}

// Entries on one page of a drawn layout (after normalizing); the labels layout holds as
// many as a sheet has labels, and a sheet of none still holds one so that a page count
// never divides by zero.
int entriesPerPage(int layoutCommand, int labelsPerSheet) noexcept;

// The field-line options ("%d,%d,%d,%d,%d,%d") a label or envelope format uses for an
// address field (position 1..18) whose key it does not have. A position outside 1..18
// is a fault of the caller: it gets the message below and "0,1,0,0,0,0".
inline constexpr int kFieldLineCount = 18;
inline constexpr const char* kFieldLineFallback = "0,1,0,0,0,0";
std::string_view fieldLineDefault(int position) noexcept;
bool isFieldLinePosition(int position) noexcept;
std::string fieldLineDefaultError(int position);  // "error:\nMDIClient::DefaultProps(%d)"

}  // namespace mv
