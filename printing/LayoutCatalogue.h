#pragma once
// The catalogue of layouts: LayoutId 0..28, command id = the layout base + LayoutId.
// This program draws the five address-book layouts, Envelope and Labels.

#include "commands/Commands.h"

#include <string>
#include <string_view>

namespace mv {

inline constexpr int kLayoutCommandBase = cmd::kLayoutBase;
inline constexpr int kFirstDrawnLayout = cmd::kLayout1Line;
inline constexpr int kLastDrawnLayout = cmd::kLayoutLabels;
inline constexpr int kDefaultLayout = cmd::kLayout3Line;
inline constexpr int kEnvelopeLayout = cmd::kLayoutEnvelope;
inline constexpr int kLabelsLayout = cmd::kLayoutLabels;
inline constexpr int kPagesViewKind = 218;

// Empty for numbers outside 0..28 and for the unused ids 15 and 23.
std::string_view layoutShortName(int layoutId) noexcept;
inline std::string_view layoutShortNameOfCommand(int command) noexcept {
  return layoutShortName(command - kLayoutCommandBase);
}

// The description of a layout ("Addressbook, 3 Line per subject"); empty where the short
// name is.
std::string_view layoutLongName(int layoutId) noexcept;
inline std::string_view layoutLongNameOfCommand(int command) noexcept {
  return layoutLongName(command - kLayoutCommandBase);
}

// Anything but a drawn layout becomes the default (3 line).
int normalizeLayoutCommand(int command) noexcept;
// Next Layout goes from 1 line up to Envelope and wraps from Envelope and Labels to 1 line
// (so Labels is reached only by Prior); Prior goes down and wraps from 1 line to Labels.
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
