#pragma once
// Where the settings files are, and the one key this program writes to the settings file
// it shares with its sibling programs.

#include <filesystem>

namespace mv {

struct CustomizeSettings;
struct PageText;

// programDir() / "mervane.ini": the program's own settings.
std::filesystem::path mervaneIni();
// windowsDir() / "quorvel.ini": settings shared by the maker's programs.
std::filesystem::path quorvelIni();
// programDir() / "lang.dat": the language table.
std::filesystem::path langDat();

// Section Tolvex, key MVDIR of quorvel.ini: the current directory, written at exit so the
// sibling programs can find this one. Never read here.
[[nodiscard]] bool writeMvDir(const std::filesystem::path& currentDir);

// Save settings at exit (normal mode only): section Customize, then Footnote, then
// Heading of mervane.ini, then MVDIR. Every write is attempted; false when any failed.
[[nodiscard]] bool writeSettingsAtExit(const CustomizeSettings& customize,
                                       const PageText& heading, const PageText& footnote,
                                       const std::filesystem::path& currentDir);

}  // namespace mv
