#pragma once
// The frame's arrangement of the commands of commands/Commands.h: the menu resources 1
// (card mode), 208 (page-view mode), 212 (letters) and 213 (layouts), the keyboard
// accelerators and the toolbar gadgets. Labels, hints and pictures come from the table.

#include "commands/Commands.h"

#include <string>
#include <string_view>
#include <vector>

namespace mv {

// One menu item; id 0 is a separator.
struct MenuItem {
  int id = 0;
  std::string label;  // exact text, "&" mnemonics and "\t" accelerator text included
};

// One top-level menu of a menu bar.
struct MenuDef {
  std::string title;
  std::vector<MenuItem> items;
};

// The menu resources by number.
namespace menus {
inline constexpr int kCardMode = 1;        // the menu bar beside the card window
inline constexpr int kPageViewMode = 208;  // the menu bar of the page view
inline constexpr int kLetters = 212;       // the page button's pop-up: A..Z
inline constexpr int kLayouts = 213;       // the layout button's pop-up
}  // namespace menus

// Menu resources kCardMode and kPageViewMode as top-level menus; kLetters and kLayouts as
// one pop-up each.
std::vector<MenuDef> menuResource(int resource);

// Keyboard accelerators (table 1), as Qt key combinations.
struct Accelerator {
  int key = 0;  // a QKeyCombination's toCombined() value
  int command = 0;
};
std::vector<Accelerator> acceleratorTable();

// The toolbar (control bar 52), left to right.
struct Gadget {
  enum class Kind { Button, Separator, TextButton };
  Kind kind = Kind::Button;
  int command = 0;  // Button, TextButton
  int bitmap = 0;   // Button: its picture; TextButton: the face
  int width = 0;    // Separator: pixels
};
std::vector<Gadget> toolbarGadgets();

// What the status bar shows for a command: its hint, with a hint starting with a digit
// 1..5 replaced through the navigation table for the view kind (a replacement shorter
// than 3 characters shows a single blank); an empty or all-blank hint shows the title.
std::string statusHint(int id, std::string_view title, int viewKind = 218);

}  // namespace mv
