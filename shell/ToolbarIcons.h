#pragma once
// The pictures of the toolbar buttons and menu items, drawn rather than shipped: one
// per bitmap number (347 card, 16 printer, 54/55 zoom, 69..72 page steps, 208 font, and
// the menu pictures of preview, paper, envelope, labels, names, groups and files).

#include <QIcon>

namespace mv {

// A null icon for a number without a picture.
QIcon toolbarIcon(int bitmap);

}  // namespace mv
