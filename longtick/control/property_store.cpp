#include "longtick/control/property_store.h"

#include <algorithm>

namespace longtick {

namespace {

constexpr uint8_t kLong = 1;
constexpr uint8_t kBool = 2;
constexpr char kMagic[4] = {'L', 'T', 'P', 'B'};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& b) : b_(b) {}
  bool Get(uint32_t& v, int bytes) {
    if (b_.size() - pos_ < static_cast<size_t>(bytes)) return false;
    v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(b_[pos_++]) << (8 * i);
    return true;
  }
  bool GetText(std::string& s, size_t n) {
    if (b_.size() - pos_ < n) return false;
    s.assign(b_.begin() + pos_, b_.begin() + pos_ + n);
    pos_ += n;
    return true;
  }
  bool AtEnd() const { return pos_ == b_.size(); }

 private:
  const std::vector<uint8_t>& b_;
  size_t pos_ = 0;
};

}  // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

const PropertyStore::Entry* PropertyStore::Find(std::string_view name) const {
  for (const auto& e : entries_)
    if (NamesEqual(e.name, name)) return &e;
  return nullptr;
}

std::optional<int32_t> PropertyStore::ReadLong(std::string_view name) {
  const Entry* e = Find(name);
  if (!e) return std::nullopt;
  if (auto* b = std::get_if<bool>(&e->value)) return *b ? -1 : 0;
  return std::get<int32_t>(e->value);
}

std::optional<bool> PropertyStore::ReadBool(std::string_view name) {
  const Entry* e = Find(name);
  if (!e) return std::nullopt;
  if (auto* l = std::get_if<int32_t>(&e->value)) return *l != 0;
  return std::get<bool>(e->value);
}

void PropertyStore::Write(std::string_view name, Value value) {
  for (auto& e : entries_) {
    if (NamesEqual(e.name, name)) {
      e.value = value;
      return;
    }
  }
  entries_.push_back(Entry{std::string(name), value});
}

void PropertyStore::WriteLong(std::string_view name, int32_t value) { Write(name, value); }
void PropertyStore::WriteBool(std::string_view name, bool value) { Write(name, value); }

std::vector<uint8_t> PropertyStore::Serialize() const {
  std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
  Put32(out, static_cast<uint32_t>(entries_.size()));
  for (const auto& e : entries_) {
    out.push_back(static_cast<uint8_t>(e.name.size()));
    out.push_back(static_cast<uint8_t>(e.name.size() >> 8));
    out.insert(out.end(), e.name.begin(), e.name.end());
    if (auto* b = std::get_if<bool>(&e.value)) {
      out.push_back(kBool);
      Put32(out, *b ? 1 : 0);
    } else {
      out.push_back(kLong);
      Put32(out, static_cast<uint32_t>(std::get<int32_t>(e.value)));
    }
  }
  return out;
}

std::optional<PropertyStore> PropertyStore::Parse(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 8 || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()))
    return std::nullopt;
  Reader r(bytes);
  uint32_t skip = 0, count = 0;
  r.Get(skip, 4);
  if (!r.Get(count, 4)) return std::nullopt;
  PropertyStore store;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t len = 0, type = 0, value = 0;
    std::string name;
    if (!r.Get(len, 2) || !r.GetText(name, len) || !r.Get(type, 1) || !r.Get(value, 4))
      return std::nullopt;
    if (type == kLong)
      store.entries_.push_back(Entry{name, static_cast<int32_t>(value)});
    else if (type == kBool)
      store.entries_.push_back(Entry{name, value != 0});
    else
      return std::nullopt;
  }
  if (!r.AtEnd()) return std::nullopt;
  return store;
}

}  // namespace longtick
