// A move-only owner for a Win32 handle that is released by one function.
#pragma once

#include <utility>

namespace hushkey {

template <class Handle, auto Release>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Handle{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Handle{}; }
  // Releases the held handle (its result is of no interest) and takes h.
  void reset(Handle h = Handle{}) {
    if (h_ != Handle{}) Release(h_);
    h_ = h;
  }

 private:
  Handle h_{};
};

}  // namespace hushkey
