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
    const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buf.data());
    // Never read past what the call filled, whatever the count says.
    const std::size_t fits =
        (buf.size() - offsetof(MIB_IPADDRTABLE, table)) / sizeof(MIB_IPADDRROW);
    const std::size_t count = table->dwNumEntries < fits ? table->dwNumEntries : fits;
    read.rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      // dwAddr is in network byte order: the first octet is the lowest-addressed byte.
      const DWORD addr = table->table[i].dwAddr;
      read.rows.push_back({static_cast<std::uint8_t>(addr & 0xFF),
                           static_cast<std::uint8_t>((addr >> 8) & 0xFF),
                           static_cast<std::uint8_t>((addr >> 16) & 0xFF),
                           static_cast<std::uint8_t>((addr >> 24) & 0xFF)});
    }
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
