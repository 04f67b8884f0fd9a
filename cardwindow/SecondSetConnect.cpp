#include "cardwindow/SecondSetConnect.h"

#include "store/AddressRecord.h"

namespace mv {

ConnectKind connectKind(int secondSetField) noexcept {
  switch (static_cast<FieldId>(secondSetField)) {
    case FieldId::Home2:
    case FieldId::Office2:
      return ConnectKind::Dialer;
    case FieldId::Email2:
    case FieldId::Web2:
    case FieldId::NewsGroup:
    case FieldId::FtpSite:
      return ConnectKind::Browser;
    default:
      return ConnectKind::None;
  }
}

bool isConnectEnabled(int secondSetField, bool dialerPresent, bool browserFound) noexcept {
  switch (connectKind(secondSetField)) {
    case ConnectKind::Dialer: return dialerPresent;
    case ConnectKind::Browser: return browserFound;
    case ConnectKind::None: return false;
  }
  return false;
}

}  // namespace mv
