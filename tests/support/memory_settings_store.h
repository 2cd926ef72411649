// The settings store held in memory, for the tests: keeps a log of the keys read, in order.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hushkey/settings/settings_store.h"

namespace hushkey {

class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view key) override {
    reads_.emplace_back(key);
    auto it = values_.find(std::string(key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  bool Write(std::string_view key, std::string_view value) override {
    values_[std::string(key)] = std::string(value);
    return true;
  }
  bool Contains(std::string_view key) const { return values_.count(std::string(key)) != 0; }
  std::size_t Size() const { return values_.size(); }
  const std::vector<std::string>& Reads() const { return reads_; }
  void ClearReads() { reads_.clear(); }

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> reads_;
};

}  // namespace hushkey
