// Stored properties of one control as an ordered list of named values. Names match without
// regard to letter case. It is the in-memory form of a property bag and the content of the
// control's persistence stream.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "longtick/control/counter.h"

namespace longtick {

bool NamesEqual(std::string_view a, std::string_view b);  // ASCII letters without case

class PropertyStore final : public PropertyReader, public PropertyWriter {
 public:
  using Value = std::variant<int32_t, bool>;
  struct Entry {
    std::string name;
    Value value;
    bool operator==(const Entry&) const = default;
  };

  std::optional<int32_t> ReadLong(std::string_view name) override;
  std::optional<bool> ReadBool(std::string_view name) override;
  void WriteLong(std::string_view name, int32_t value) override;
  void WriteBool(std::string_view name, bool value) override;

  const std::vector<Entry>& entries() const { return entries_; }

  // Stream form: "LTPB", entry count, then per entry the name (16-bit length, bytes), a
  // type byte (1 long, 2 Boolean) and the 32-bit value, all little-endian.
  std::vector<uint8_t> Serialize() const;
  // Nothing when the bytes are not a complete stream of that form.
  static std::optional<PropertyStore> Parse(const std::vector<uint8_t>& bytes);

 private:
  const Entry* Find(std::string_view name) const;
  void Write(std::string_view name, Value value);

  std::vector<Entry> entries_;
};

}  // namespace longtick
