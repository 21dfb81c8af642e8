// A minimal owning pointer to a COM interface: Release on destruction, nothing more.
#pragma once

#include <unknwn.h>

#include <utility>

namespace velkaro::win32 {

template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  Interface* Get() const { return ptr_; }
  Interface* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  void Reset() {
    if (ptr_ != nullptr) std::exchange(ptr_, nullptr)->Release();
  }
  // For functions that hand out a new reference through an out parameter.
  Interface** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // QueryInterface for another interface; empty when it is not offered.
  template <class Other>
  ComPtr<Other> As(REFIID iid) const {
    ComPtr<Other> other;
    if (ptr_ != nullptr && FAILED(ptr_->QueryInterface(iid, other.PutVoid()))) other.Reset();
    return other;
  }

 private:
  Interface* ptr_ = nullptr;
};

}  // namespace velkaro::win32
