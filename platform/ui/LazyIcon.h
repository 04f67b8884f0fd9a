#pragma once
// An icon made the first time it is drawn or measured. A window builds all its buttons and
// menus at once, but reads icon themes and files, and paints pictures, only for the icons
// that are shown: those of a hidden toolbar or a closed menu cost nothing at start.

#include <QIcon>

#include <functional>

namespace mv {

// The icon make() returns, made when first needed; make() must not return a null icon.
QIcon lazyIcon(std::function<QIcon()> make);

}  // namespace mv
