#pragma once
// The pictures of the toolbar buttons and menu items, drawn rather than shipped: one
// per picture number (the card, the printer, zoom, the page steps, the font, and
// the menu pictures of preview, paper, envelope, labels, names, groups and files).

#include <QIcon>

namespace mv {

// A null icon for a number without a picture.
QIcon toolbarIcon(int bitmap);

}  // namespace mv
