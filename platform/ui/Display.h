#pragma once
// Whether a window can be shown at all. Checked before QApplication exists, because Qt
// aborts the process when it finds no display.

#include <functional>
#include <optional>
#include <string>

namespace mv {

// The message to print on stderr when there is no display (no DISPLAY, WAYLAND_DISPLAY
// or QT_QPA_PLATFORM); nullopt when a window can be opened. getenv is replaceable for tests.
std::optional<std::string> missingDisplayMessage(
    const std::function<const char*(const char*)>& getenv = nullptr);

}  // namespace mv
