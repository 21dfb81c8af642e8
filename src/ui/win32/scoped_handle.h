// Ownership of Win32 handles: one move-only template, one traits type per way of
// closing, and a guard that puts back the GDI object a device context had selected.
#pragma once

#include <windows.h>

#include <utility>

namespace velkaro::win32 {

template <class Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Null(); }

  void reset(Handle handle = Traits::Null()) {
    if (handle_ != Traits::Null()) Traits::Close(handle_);
    handle_ = handle;
  }
  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Null()); }

 private:
  Handle handle_ = Traits::Null();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};

template <class GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Null() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

// A device context of CreateCompatibleDC or CreateDC.
struct CreatedDcTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using ScopedPen = ScopedHandle<GdiObjectTraits<HPEN>>;
using ScopedRegion = ScopedHandle<GdiObjectTraits<HRGN>>;
using ScopedCreatedDc = ScopedHandle<CreatedDcTraits>;

// A window's device context from GetDC, given back with ReleaseDC.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  ~ScopedGetDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and selects the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (ok()) ::SelectObject(dc_, previous_);
  }
  // False when the object could not be selected (SelectObject gave NULL or HGDI_ERROR).
  bool ok() const {
    return previous_ != nullptr && previous_ != reinterpret_cast<HGDIOBJ>(LONG_PTR{-1});
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace velkaro::win32
