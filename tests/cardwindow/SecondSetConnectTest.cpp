#include "cardwindow/SecondSetConnect.h"

#include "store/AddressRecord.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(SecondSetConnect, dialledNumbersNeedADialerAddressesABrowserOtherNothing) {
  struct Row {
    FieldId field;
    bool dialer, browser, enabled;
  };
  const Row rows[] = {
      {FieldId::Home2, true, false, true},      // dialled
      {FieldId::Office2, false, true, false},   // a browser does not dial
      {FieldId::Email2, false, true, true},
      {FieldId::Web2, true, false, false},      // a dialer does not browse
      {FieldId::NewsGroup, false, true, true},
      {FieldId::FtpSite, false, true, true},
      {FieldId::Other, true, true, false},      // nothing to connect to
      {FieldId::Home, true, true, false},       // not a second-set field
  };
  for (const Row& r : rows)
    EXPECT_EQ(isConnectEnabled(toInt(r.field), r.dialer, r.browser), r.enabled)
        << toInt(r.field);
}

}  // namespace
}  // namespace mv
