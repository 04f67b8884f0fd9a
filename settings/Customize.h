#pragma once
// Section Customize of mervane.ini: the settings the main client holds for the whole run.
// Read once at start (with every value brought into its accepted range) and written once
// at exit; FrameSize is written on its own when the main frame closes.

#include "commands/Commands.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

// A colour as the settings files store it: "%d,%d,%d" red, green, blue.
struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Three decimal integers separated by commas; a missing component is 0. With clampTo255
// a component outside 0..255 becomes 255 (the BaseColor rule); without it a component
// keeps its low byte, as a packed red-green-blue value would hold it.
Rgb parseColor(std::string_view text, bool clampTo255);
std::string formatColor(Rgb color);  // "%d,%d,%d"

struct CustomizeSettings {
  bool labelUseTextOut = false;      // simple output for labels; written by the printing-problems dialog
  bool hasWebBrowser = false;        // true: do not probe for a web browser at start
  bool cardMaximizeAddress = false;  // "Label each page"
  int headingY1 = 40;                // top of the page content
  bool forceNoBanding = true;
  bool restoreDc = true;             // "Force printer restet"
  int lang = 0;                      // 0..20, the language of lang.dat
  std::string font = "Arial";        // page font face (29 characters at most)
  Rgb baseColor{0, 0, 0};            // page text colour
  int cardSort = 0;                  // 0 first name, 1 last name, 2 company
  int format = cmd::kLayout3Line;    // current layout command, one of the drawn layouts
  double zoom = 0.8;                 // factor, 0.3..1.5
  int hookHttp = 1;
  int hookEMail = 1;
  int hookNews = 1;
  int hookFtp = 1;
  int hookRtf = 1;
  int hookTxt = 1;
  int textoutYOffset = 0;            // vertical adjustment of printed text
  std::string frameSize = "-4,-4,0,0";  // "%d,%d,%d,%d" left, top, width, height
};

// The hand-over choice held under one of the Hook keys ("HookEMail"...); nullptr for any
// other key.
int* hookChoice(CustomizeSettings& settings, std::string_view key) noexcept;

// Reads section Customize; a missing file or key gives the defaults above.
CustomizeSettings readCustomize(const std::filesystem::path& ini);

// Writes the keys the program owns at exit, in this order: Card_Maximize_Address,
// HEADING_Y1, FORCE_NOBANDING, RESTORE_DC, TEXTOUT_YOFFSET, HookHTTP, HookEMail,
// HookFTP, HookNews, HookTXT, HookRTF, Font, BaseColor, Zoom (factor x 100), Format,
// Card_Sort. Label_Use_TextOut, HasWebBrowser, Lang and FrameSize are not written here.
[[nodiscard]] bool writeCustomize(const std::filesystem::path& ini,
                                  const CustomizeSettings& settings);

// Zoom as stored: the factor x 100, truncated.
int zoomPercent(double factor) noexcept;

// The saved frame rectangle.
struct FrameRect {
  int left = -4;
  int top = -4;
  int width = 0;
  int height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};
FrameRect parseFrameSize(std::string_view text);
std::string formatFrameSize(FrameRect rect);  // "%d,%d,%d,%d"

// Written when the main frame closes (normal mode), not with the rest of Customize.
[[nodiscard]] bool writeFrameSize(const std::filesystem::path& ini, FrameRect rect);

}  // namespace mv
