// COM ownership written once: an owning interface pointer, scoped VARIANT, BSTR and
// EXCEPINFO, and the apartment guard of a thread.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <utility>

namespace win32 {

// Owning interface pointer.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes a reference of its own (add_ref) or adopts the caller's (not add_ref).
  explicit ComPtr(T* p, bool add_ref = true) : p_(p) {
    if (p_ && add_ref) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For a function that hands an interface out through a pointer: releases the held one.
  T** put() {
    *this = ComPtr();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  T* detach() { return std::exchange(p_, nullptr); }
  void reset() { *this = ComPtr(); }

  // The same object seen through another interface (empty when it has none).
  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> other;
    if (p_) p_->QueryInterface(iid, other.put_void());
    return other;
  }

 private:
  T* p_ = nullptr;
};

// A VARIANT that is cleared when it goes.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&v_); }
  ~ScopedVariant() { VariantClear(&v_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* get() { return &v_; }
  const VARIANT& operator*() const { return v_; }
  const VARIANT* operator->() const { return &v_; }
  // Cleared, for a function that fills it in.
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }

 private:
  VARIANT v_;
};

// A BSTR that is freed when it goes.
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(const wchar_t* text) : s_(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(s_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return s_; }
  BSTR* put() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }

 private:
  BSTR s_ = nullptr;
};

// The exception record an IDispatch::Invoke may fill in; its strings are freed when it goes.
class ScopedExcepInfo {
 public:
  ScopedExcepInfo() = default;
  ~ScopedExcepInfo() {
    SysFreeString(e_.bstrSource);
    SysFreeString(e_.bstrDescription);
    SysFreeString(e_.bstrHelpFile);
  }
  ScopedExcepInfo(const ScopedExcepInfo&) = delete;
  ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;
  EXCEPINFO* get() { return &e_; }

 private:
  EXCEPINFO e_{};
};

// Enters a single-threaded apartment for the life of the object; leaves it only if the
// entry succeeded.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace win32
