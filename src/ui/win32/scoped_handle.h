// Ownership of GDI objects and device contexts, on the handle template of the
// platform layer, and a guard that puts back the GDI object a device context had
// selected.
#pragma once

#include <windows.h>

#include "platform/win32/handle.h"

namespace velkaro::win32 {

using platform::ScopedBitmap;
using platform::ScopedHandle;
using platform::ScopedKernelHandle;

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
  HDC Get() const { return dc_; }
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
