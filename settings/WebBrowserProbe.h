#pragma once
// Finding the desktop's web browser at start, for the hand-over of web, e-mail, news and
// FTP addresses when the user has named no helper program.
//
// The caller runs the probe only when Customize HasWebBrowser is 0; with HasWebBrowser 1
// the program counts as having a browser, skips the probe and knows no browser path.

#include <filesystem>
#include <string>
#include <vector>

namespace mv {

struct BrowserProbe {
  bool found = false;
  std::string programPath;  // a path text (see pathText), as the Helper section stores paths
};

struct BrowserProbeOptions {
  // The program asked "query default text/html"; tests point it at a script.
  std::string xdgMimeProgram = "xdg-mime";
  int timeoutMs = 3000;
  // Folders searched for "applications/<id>.desktop"; empty means $XDG_DATA_HOME
  // (default ~/.local/share) followed by $XDG_DATA_DIRS (default /usr/local/share,
  // /usr/share).
  std::vector<std::filesystem::path> dataDirs;
};

// Asks the desktop for its text/html handler, finds that .desktop file and takes the
// program of its Exec line (resolved on PATH when it is a bare name). Any failure (no
// xdg-mime, a time-out, no handler, no file, no Exec line) gives {false, ""}.
BrowserProbe probeWebBrowser(const BrowserProbeOptions& options = {});

// Whether the desktop names a default handler for a MIME type ("x-scheme-handler/tel":
// a way to dial). Any failure counts as none.
bool hasDesktopHandler(const std::string& mimeType, const BrowserProbeOptions& options = {});

// The program of a desktop entry's Exec value: its first word, quotes removed.
std::string execProgram(const std::string& execValue);

}  // namespace mv
