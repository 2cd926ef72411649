// The address table as the system hands it out, read by the don't-lock-if check.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "hushkey/autolock/dont_lock_if.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto rows = hushkey::AddressTableRows(std::span<const std::uint8_t>(data, size));
  if (size >= hushkey::kAddressTableHeaderBytes &&
      rows.size() > (size - hushkey::kAddressTableHeaderBytes) / hushkey::kAddressTableRowBytes)
    std::abort();
  const std::string chosen = hushkey::SelectLocalIPAddress(rows);
  const auto all = hushkey::QualifyingAddresses(rows);
  // The address the dialog shows is one the condition looks at.
  if (!chosen.empty() && std::find(all.begin(), all.end(), chosen) == all.end()) std::abort();
  for (const std::string& a : all) (void)hushkey::AddressMatchesPrefix(a, chosen);
  return 0;
}
