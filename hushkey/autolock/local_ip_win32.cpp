#include "hushkey/autolock/local_ip_win32.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <cstddef>
#include <new>
#include <vector>

namespace hushkey {

// The portable reader knows the system's table layout: a row count, then the rows, each
// starting with the address in network byte order.
static_assert(offsetof(MIB_IPADDRTABLE, table) == kAddressTableHeaderBytes);
static_assert(sizeof(MIB_IPADDRROW) == kAddressTableRowBytes);
static_assert(offsetof(MIB_IPADDRROW, dwAddr) == 0);

AddressTableRead Win32AddressTable::ReadAddressTable() {
  AddressTableRead read;
  try {
    // Start with room for a few rows; the call tells how much it needs when that is not
    // enough, and the table may grow between calls, so ask again.
    ULONG size = 512;
    std::vector<std::byte> buf;
    DWORD rc = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 16 && rc == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
      buf.resize(size);
      rc = GetIpAddrTable(reinterpret_cast<PMIB_IPADDRTABLE>(buf.data()), &size, TRUE);
    }
    if (rc != NO_ERROR) {
      read.error = rc;
      return read;
    }
    read.rows = AddressTableRows(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(buf.data()), buf.size()));
    read.ok = true;
  } catch (const std::bad_alloc&) {
    read.ok = false;
    read.rows.clear();
    read.error = ERROR_NOT_ENOUGH_MEMORY;
  }
  return read;
}

std::string LocalIPAddress() {
  Win32AddressTable table;
  return LocalIPAddress(table).address;
}

}  // namespace hushkey
