#pragma once
// Mervane as a freedesktop citizen: the applications-menu entry with its icon and the
// address-book MIME type, the "Remove Mervane" entry, the desktop shortcut and the
// shared-mime-info package for *.adr. The texts are pure functions; integrate() writes
// them and asks the desktop's databases to take them in.

#include <filesystem>
#include <string>
#include <vector>

namespace mv {

inline constexpr const char* kBookMimeType = "application/x-mervane-addressbook";

// The user's folders, from HOME, XDG_DATA_HOME and the desktop folder named in
// $XDG_CONFIG_HOME/user-dirs.dirs.
// $XDG_DATA_HOME when it is absolute, else ~/.local/share.
std::filesystem::path xdgDataHome();

struct XdgFolders {
  std::filesystem::path dataHome;  // ~/.local/share
  std::filesystem::path desktop;   // ~/Desktop

  std::filesystem::path applications() const { return dataHome / "applications"; }
  std::filesystem::path mimePackages() const { return dataHome / "mime" / "packages"; }
  std::filesystem::path iconFile() const {
    return dataHome / "icons" / "hicolor" / "scalable" / "apps" / "mervane.svg";
  }
  std::filesystem::path menuEntry() const { return applications() / "mervane.desktop"; }
  std::filesystem::path removeEntry() const { return applications() / "mervane-remove.desktop"; }
  std::filesystem::path mimePackage() const { return mimePackages() / "mervane.xml"; }
  std::filesystem::path desktopShortcut() const { return desktop / "mervane.desktop"; }

  static XdgFolders fromEnvironment();
};

// One argument of a desktop entry's Exec key, quoted and escaped so that the entry reads
// back the same bytes.
std::string desktopExecArgument(const std::string& argument);

std::string menuEntryText(const std::filesystem::path& program);
std::string removeEntryText(const std::filesystem::path& program);
std::string mimePackageText();
// The project's icon: an address book with an index tab and a card.
std::string iconSvg();

struct IntegrationReport {
  std::vector<std::filesystem::path> made;
  std::vector<std::filesystem::path> failed;
};

// Writes the entries, the shortcut, the icon and the MIME package for the program, then
// runs update-mime-database and update-desktop-database when the machine has them.
IntegrationReport integrateDesktop(const XdgFolders& xdg, const std::filesystem::path& program);

// True for the file names integrateDesktop() makes, at an absolute path.
bool isOwnEntry(const std::filesystem::path& file);

// Deletes the given entries (those an install record lists) and refreshes the databases;
// a path that is not one of ours is passed over. Returns the ones that were there and
// could not be deleted.
std::vector<std::filesystem::path> removeDesktopEntries(
    const XdgFolders& xdg, const std::vector<std::filesystem::path>& entries);

}  // namespace mv
