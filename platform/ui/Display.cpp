#include "platform/ui/Display.h"

#include <cstdlib>

namespace mv {

std::optional<std::string> missingDisplayMessage(
    const std::function<const char*(const char*)>& getenv) {
  auto env = [&](const char* name) -> bool {
    const char* v = getenv ? getenv(name) : std::getenv(name);
    return v && *v;
  };
  if (env("DISPLAY") || env("WAYLAND_DISPLAY") || env("QT_QPA_PLATFORM")) return std::nullopt;
  return std::string(
      "mervane: no display found.\n"
      "Mervane is a desktop program and needs a graphical session (DISPLAY or "
      "WAYLAND_DISPLAY is not set).\n"
      "Start it from your desktop, or run it headless with QT_QPA_PLATFORM=offscreen.\n");
}

}  // namespace mv
