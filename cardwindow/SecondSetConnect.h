#pragma once
// "&Connect" of the second-set menu: what the field shown in the shared editor is handed
// to, and whether that hand-over can be made on this desktop.

namespace mv {

enum class ConnectKind { None, Dialer, Browser };

// Home2 and Office2 are dialled; e-mail, web, news and FTP open in the browser; Other
// (and anything outside the second set) has nothing to connect to.
ConnectKind connectKind(int secondSetField) noexcept;

// Enabled for the telephone fields when there is a dialer, for the browser fields when
// a browser was found, and never for Other.
bool isConnectEnabled(int secondSetField, bool dialerPresent, bool browserFound) noexcept;

}  // namespace mv
