// The machine's IPv4 address table from GetIpAddrTable.
#pragma once

#include <string>

#include "hushkey/autolock/dont_lock_if.h"

namespace hushkey {

class Win32AddressTable : public AddressTablePort {
 public:
  // Rows in the table's order, sorted by the system; the buffer grows until the table
  // fits. Never throws; a failed call gives ok = false with its return value.
  AddressTableRead ReadAddressTable() override;
};

// The address the IP condition uses (see SelectLocalIPAddress), or empty when no row
// qualifies or the table cannot be read. For display, e.g. in the options dialog.
std::string LocalIPAddress();

}  // namespace hushkey
