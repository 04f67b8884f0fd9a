#include "exchange/Launch.h"

#include "platform/Cp1252.h"
#include "platform/FileChooser.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Text.h"
#include "settings/Keys.h"
#include "settings/Profile.h"

#include <array>
#include <cctype>

namespace mv {
namespace {

namespace h = keys::helper;
namespace c = keys::customize;

constexpr std::array<LaunchKindInfo, 8> kKinds{{
    {h::EMail, c::HookEMail, "Send email to:", "e-mail", ""},
    {h::News, c::HookNews, "Connect to news group:", "news", ""},
    {h::Http, c::HookHttp, "Open Web Site:", "the web", ""},
    {h::Ftp, c::HookFtp, "Connect to FTP site:", "FTP", ""},
    {h::Rtf, c::HookRtf, "Open document?", "RTF documents", "Use Word Processor"},
    {h::Txt, c::HookTxt, "Open document", "text documents", "Use Text Editor"},
    {"", "", "", "the phone", ""},
    {h::Http, c::HookHttp, "Export is complete. Open Local Web Page?", "the web", ""},
}};

constexpr size_t kHelperBuffer = 256;  // helper paths hold up to 255 characters

bool isDocument(LaunchKind kind) { return isLocalFileKind(kind); }

std::string_view prefixOf(LaunchKind kind) {
  switch (kind) {
    case LaunchKind::EMail: return "mailto:";
    case LaunchKind::News: return "news:";
    case LaunchKind::Ftp: return "ftp://";
    default: return {};
  }
}

// Bytes a URL may carry as they are: the unreserved and reserved characters of RFC 3986.
// A "%" stays only where it already starts an escape.
bool keepsInUrl(std::string_view s, size_t i) {
  const unsigned char ch = static_cast<unsigned char>(s[i]);
  if (std::isalnum(ch)) return true;
  if (ch == '%')
    return i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
           std::isxdigit(static_cast<unsigned char>(s[i + 2]));
  return std::string_view("-._~:/?#[]@!$&'()*+,;=").find(static_cast<char>(ch)) !=
         std::string_view::npos;
}

std::string percentEncode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (keepsInUrl(utf8, i)) {
      out += utf8[i];
    } else {
      const unsigned char ch = static_cast<unsigned char>(utf8[i]);
      out += '%';
      out += kHex[ch >> 4];
      out += kHex[ch & 15];
    }
  }
  return out;
}

std::string trimmed(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

// The scheme of a URL ("http" of "http://x"), lower case; empty when there is none.
std::string schemeOf(std::string_view url) {
  const size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0) return {};
  std::string scheme;
  for (size_t i = 0; i < colon; ++i) {
    const unsigned char ch = static_cast<unsigned char>(url[i]);
    if (!(std::isalnum(ch) || ch == '+' || ch == '-' || ch == '.') ||
        (i == 0 && !std::isalpha(ch)))
      return {};
    scheme += static_cast<char>(std::tolower(ch));
  }
  return scheme;
}

}  // namespace

bool isLocalFileKind(LaunchKind kind) noexcept {
  return kind == LaunchKind::Rtf || kind == LaunchKind::Txt || kind == LaunchKind::LocalPage;
}

const LaunchKindInfo& launchKindInfo(LaunchKind kind) noexcept {
  return kKinds[static_cast<size_t>(kind)];
}

std::string prefixedAddress(LaunchKind kind, std::string_view address) {
  const std::string_view prefix = prefixOf(kind);
  if (prefix.empty()) return std::string(address);
  if (address.size() > prefix.size() && startsWithIgnoreCase(address, prefix))
    return std::string(address);
  return std::string(prefix) + std::string(address);
}

std::string desktopUrl(LaunchKind kind, std::string_view address) {
  if (kind == LaunchKind::Dialer) return telUrl(address);
  if (isDocument(kind)) {
    const std::string path = trimmed(address);
    if (path.empty()) return {};
    // An absolute local path, so that a document name never reads as an option.
    const std::string absolute = pathText(std::filesystem::absolute(pathFromText(path)));
    return "file://" + percentEncode(absolute);
  }
  std::string text = trimmed(fromCp1252(address).toUtf8().toStdString());
  const std::string_view prefix = prefixOf(kind);
  // A prefix with nothing after it (or an empty field) opens nothing.
  if (text.empty() || (!prefix.empty() && equalsIgnoreCase(text, prefix))) return {};
  text = prefixedAddress(kind, text);
  if (kind == LaunchKind::Web) {
    const std::string scheme = schemeOf(text);
    if (scheme != "http" && scheme != "https" && scheme != "ftp") text = "http://" + text;
  }
  return percentEncode(text);
}

std::string telUrl(std::string_view number) {
  std::string dial;
  bool digit = false;
  for (char ch : number) {
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      dial += ch;
      digit = true;
    } else if (ch == '+' || ch == '*') {
      dial += ch;
    } else if (ch == '#') {
      dial += "%23";
    } else if (ch == ',' || ch == 'p' || ch == 'P' || ch == 'w' || ch == 'W') {
      dial += ',';
    }
  }
  return digit ? "tel:" + dial : std::string();
}

std::string useHelperCaption(std::string_view helperPath, LaunchKind kind) {
  const std::string_view desktop = launchKindInfo(kind).desktopHelperCaption;
  if (!desktop.empty() && trimmed(helperPath).empty()) return std::string(desktop);
  std::string_view name = helperPath;
  if (const size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos)
    name = name.substr(slash + 1);
  if (const size_t dot = name.find_last_of('.'); dot != std::string_view::npos && dot > 0)
    name = name.substr(0, dot);
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(out[i]);
    out[i] = static_cast<char>(i == 0 ? std::toupper(ch) : std::tolower(ch));
  }
  return "Use " + out;
}

std::string readHelper(const LaunchSettings& settings, LaunchKind kind) {
  const LaunchKindInfo& info = launchKindInfo(kind);
  if (info.helperKey.empty()) return {};
  const bool document = !info.desktopHelperCaption.empty();
  std::string helper = Profile(settings.ini, std::string(keys::section::Helper))
                           .readString(info.helperKey, document ? "" : settings.browserPath,
                                       kHelperBuffer);
  if (document && (equalsIgnoreCase(helper, h::WindowsRtfDefault) ||
                   equalsIgnoreCase(helper, h::WindowsTxtDefault)))
    helper.clear();
  return helper;
}

std::optional<std::string> chooseHelper(FileChooser& chooser, const LaunchSettings& settings,
                                        LaunchKind kind, const std::string& currentHelper) {
  FileRequest request;
  request.kind = FileRequest::Kind::Open;
  request.title = "Choose another application to run";
  request.filter = "Programs (*)|*";
  request.executablesOnly = true;
  request.fileKind = FileKind::None;  // starts where the current helper is
  request.mustExist = true;
  if (!currentHelper.empty())
    request.directory = pathFromText(currentHelper).parent_path();
  const auto choice = chooser.choose(request);
  if (!choice) return std::nullopt;
  std::string path = pathText(choice->path);
  if (path.size() >= kHelperBuffer) path.resize(kHelperBuffer - 1);
  (void)Profile(settings.ini, std::string(keys::section::Helper))
      .writeString(launchKindInfo(kind).helperKey, path);
  return path;
}

bool handOver(LaunchKind kind, std::string_view address, const RunAsker& ask,
              Launcher& launcher, Prompter& prompter, LaunchSettings& settings) {
  if (kind == LaunchKind::Dialer) return dial(address, launcher, prompter);
  const auto warn = [&prompter](std::string text) {
    prompter.inform(std::move(text), kAppCaption, Icon::Exclamation, TextCoding::Utf8);
  };
  if (trimmed(address).empty()) {
    warn(kNothingToOpen);
    return false;
  }
  RunRequest request;
  request.kind = kind;
  request.title = std::string(launchKindInfo(kind).title);
  request.address = isDocument(kind) ? std::string(address) : prefixedAddress(kind, address);
  request.helperPath = readHelper(settings, kind);
  request.choice = settings.choice ? settings.choice(kind) : 1;
  const std::optional<RunAnswer> answer = ask(request);
  if (!answer) return false;
  if (settings.setChoice) settings.setChoice(kind, answer->choice);

  const std::string url = desktopUrl(kind, answer->address);
  if (url.empty()) {
    warn(kNothingToOpen);
    return false;
  }
  Launcher::Result result;
  if (answer->choice == 1) {
    result = launcher.openUrl(url);
  } else {
    const std::string helper = trimmed(readHelper(settings, kind));
    if (helper.empty() && !launchKindInfo(kind).desktopHelperCaption.empty()) {
      // No program named for a document: the desktop's default for its type opens it.
      result = launcher.openUrl(url);
    } else if (helper.empty()) {
      warn(fillFormat(kNoProgramChosen, {launchKindInfo(kind).name}));
      return false;
    } else {
      // A document goes as its path; an address as its URL, which never starts with "-".
      const std::string argument =
          isDocument(kind) ? pathText(std::filesystem::absolute(pathFromText(answer->address)))
                           : url;
      result = launcher.startProgram(helper, argument);
    }
  }
  switch (result) {
    case Launcher::Result::Ok: return true;
    case Launcher::Result::NoHandler: warn(kNoAssociation); return false;
    case Launcher::Result::StartFailed: warn(fillFormat(kLaunchFailed, {"2"})); return false;
  }
  return false;
}

bool dial(std::string_view number, Launcher& launcher, Prompter& prompter) {
  const std::string url = telUrl(number);
  if (url.empty()) {
    prompter.inform(kNothingToOpen, kAppCaption, Icon::Exclamation);
    return false;
  }
  launcher.copyToClipboard(fromCp1252(number.substr(0, 50)).toUtf8().toStdString());
  if (launcher.openUrl(url) == Launcher::Result::Ok) return true;
  prompter.inform(kNoAssociation, kAppCaption, Icon::Exclamation);
  return false;
}

}  // namespace mv
