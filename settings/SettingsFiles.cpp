#include "settings/SettingsFiles.h"

#include "platform/Paths.h"
#include "settings/Customize.h"
#include "settings/Keys.h"
#include "settings/PageText.h"
#include "settings/Profile.h"

namespace mv {

std::filesystem::path mervaneIni() { return programDir() / keys::file::MervaneIni; }

std::filesystem::path quorvelIni() { return windowsDir() / keys::file::QuorvelIni; }

std::filesystem::path langDat() { return programDir() / keys::file::LangDat; }

bool writeMvDir(const std::filesystem::path& currentDir) {
  Profile p(quorvelIni(), std::string(keys::section::Tolvex));
  return p.writeString(keys::tolvex::MvDir, pathText(currentDir));
}

bool writeSettingsAtExit(const CustomizeSettings& customize, const PageText& heading,
                         const PageText& footnote, const std::filesystem::path& currentDir) {
  const std::filesystem::path ini = mervaneIni();
  bool ok = writeCustomize(ini, customize);
  ok &= writePageText(ini, PageTextKind::Footnote, footnote);
  ok &= writePageText(ini, PageTextKind::Heading, heading);
  ok &= writeMvDir(currentDir);
  return ok;
}

}  // namespace mv
