// Move-only owners of Win32 handles. Each kind names its null value and its close
// function in a small traits struct, so that a handle can never be closed with the
// wrong function.
#pragma once

#include <windows.h>

#include <utility>

namespace velkaro::platform {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }

  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool IsValid() const { return handle_ != Traits::Null(); }
  explicit operator bool() const { return IsValid(); }
  Handle Get() const { return handle_; }

  void Reset(Handle handle = Traits::Null()) {
    Close();
    handle_ = handle;
  }

  [[nodiscard]] Handle Release() { return std::exchange(handle_, Traits::Null()); }

 private:
  void Close() {
    if (IsValid()) Traits::Close(std::exchange(handle_, Traits::Null()));
  }

  Handle handle_ = Traits::Null();
};

// Kernel objects whose failure value is INVALID_HANDLE_VALUE (CreateFileW).
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;

// Kernel objects whose failure value is null (processes, threads, events).
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static void Close(Handle handle) { CloseHandle(handle); }
};
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { FindClose(handle); }
};
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static void Close(Handle handle) { RegCloseKey(handle); }
};
using ScopedRegKey = ScopedHandle<RegKeyTraits>;

struct BitmapTraits {
  using Handle = HBITMAP;
  static Handle Null() { return nullptr; }
  static void Close(Handle handle) { DeleteObject(handle); }
};
using ScopedBitmap = ScopedHandle<BitmapTraits>;

}  // namespace velkaro::platform
