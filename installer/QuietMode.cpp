#include "installer/QuietMode.h"

#include "installer/DesktopEntries.h"
#include "installer/Installer.h"
#include "installer/Remover.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace mv {
namespace {

bool has(const std::vector<std::string>& args, const char* word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

}  // namespace

bool asksForQuiet(const std::vector<std::string>& args) { return has(args, "--quiet"); }

int runQuietSetup(const std::vector<std::string>& args, const fs::path& sourceDir,
                  const fs::path& program, std::ostream& out, std::ostream& err,
                  const RunningCheck& running) {
  SetupList list = readSetupList(sourceDir / kSetupListName);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--target") {
      if (i + 1 >= args.size()) {
        err << "setup: --target needs a folder\n";
        return 2;
      }
      list.target = withTrailingSlash(args[++i]);
    } else if (a != "--quiet" && a != "setup") {
      err << "setup: unknown argument " << a << "\nusage: setup --quiet [--target DIR]\n";
      return 2;
    }
  }
  if (running && running()) {
    err << "setup: " << kProgramRunningMessage << '\n';
    return 3;
  }
  bool targetMade = false;
  if (const TargetCheck check = prepareTarget(list.target, &targetMade); check != TargetCheck::Ready) {
    std::string message = targetMessage(check);
    std::replace(message.begin(), message.end(), '\n', ' ');
    err << "setup: " << list.target << ": " << message << '\n';
    return 1;
  }
  const fs::path target = list.target;
  CopyReport copy = copyInstallation(list, sourceDir, program, target);
  copy.targetMade = targetMade;
  for (const auto& f : copy.files) out << "installed " << (target / f).string() << '\n';
  for (const auto& d : copy.data) out << "installed " << (target / d).string() << '\n';
  for (const auto& d : copy.skipped) out << "kept " << (target / d).string() << '\n';
  for (const auto& r : copy.refused)
    err << "setup: refused " << r << ": " << kSetupListName << " names a place outside the target\n";
  for (const auto& n : copy.notOurs)
    err << "setup: kept " << (target / n).string() << ": a file that is not Mervane's has that name\n";
  for (const auto& f : copy.failed) err << "setup: could not copy " << f << '\n';
  const std::vector<std::string> notMade =
      registerInstallation(target, copy, XdgFolders::fromEnvironment());
  for (const auto& f : notMade) err << "setup: could not write " << f << '\n';
  if (!copy.complete() || !notMade.empty()) {
    err << "setup: Installation is not complete\n";
    return 1;
  }
  out << "Mervane is installed in " << target.string() << '\n';
  return 0;
}

int runQuietRemove(const std::vector<std::string>& args, const fs::path& folder, long pid,
                   std::ostream& out, std::ostream& err, const RunningCheck& running) {
  bool deleteData = false;
  for (const std::string& a : args) {
    if (a == "--delete-data")
      deleteData = true;
    else if (a != "--quiet" && a != "remove") {
      err << "remove: unknown argument " << a << "\nusage: mervane remove --quiet [--delete-data]\n";
      return 2;
    }
  }
  if (running && running()) {
    err << "remove: " << kProgramRunningMessage << '\n';
    return 3;
  }
  const RemoveReport report = removeInstallation(folder, deleteData);
  if (!report.installed) {
    err << "remove: " << folder.string() << " holds no installation of Mervane\n";
    return 1;
  }
  for (const auto& r : report.removed) out << "removed " << r << '\n';
  for (const auto& f : report.failed) err << "remove: could not delete " << f << '\n';
  for (const auto& r : report.refused)
    err << "remove: refused " << r << ": the install record names a place that is not Mervane's\n";
  for (const auto& u : report.unproven)
    out << "kept " << (folder / u).string()
        << ": the install record of an earlier version does not say that setup wrote it\n";
  bool ok = report.failed.empty() && report.refused.empty();
  const fs::path program = folder / kInstalledProgramName;
  std::error_code ec;
  if (fs::exists(program, ec)) {
    const fs::path script = writeRemovalScript(removalScriptText(pid, program, report.removeFolder));
    if (script.empty() || !startRemovalScript(script)) {
      err << "remove: could not start the removal of " << program.string() << '\n';
      ok = false;
    } else {
      out << "removing " << program.string() << " once this copy has ended\n";
    }
  }
  if (report.folderKept) out << "kept " << folder.string() << ": it still holds files\n";
  return ok ? 0 : 1;
}

}  // namespace mv
