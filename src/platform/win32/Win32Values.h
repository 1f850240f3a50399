// Conversions between the seam's value types and the system's handles. The
// seam's handles carry the system's values unchanged, with two exceptions:
// INVALID_HANDLE_VALUE becomes None (the seam has one "no handle"), and the
// predefined registry roots, which the seam spells as their 32-bit values,
// are sign-extended pointers on 64-bit Windows.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "platform/win32/Win32Api.h"

namespace hidhost::platform::win32 {

template <typename Seam, typename System>
Seam FromSystem(System value) {
  return static_cast<Seam>(reinterpret_cast<std::uintptr_t>(value));
}

template <typename System, typename Seam>
System ToSystem(Seam value) {
  return reinterpret_cast<System>(ValueOf(value));
}

inline HWND ToHwnd(Hwnd hwnd) {
  return ToSystem<HWND>(hwnd);
}
inline Hwnd FromHwnd(HWND hwnd) {
  return FromSystem<Hwnd>(hwnd);
}

inline HANDLE ToHandle(Handle handle) {
  return ToSystem<HANDLE>(handle);
}
inline Handle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? Handle::None : FromSystem<Handle>(handle);
}

inline HMODULE ToModule(Module module) {
  return ToSystem<HMODULE>(module);
}
inline Module FromModule(HMODULE module) {
  return FromSystem<Module>(module);
}

inline HMENU ToMenu(Menu menu) {
  return ToSystem<HMENU>(menu);
}
inline Menu FromMenu(HMENU menu) {
  return FromSystem<Menu>(menu);
}

inline IUnknown* ToUnknown(ComObject object) {
  return ToSystem<IUnknown*>(object);
}
inline ComObject FromUnknown(IUnknown* object) {
  return FromSystem<ComObject>(object);
}

HKEY ToHkey(RegKey key);
inline RegKey FromHkey(HKEY key) {
  return FromSystem<RegKey>(key);
}

inline POINT ToPoint(Point point) {
  return POINT{point.x, point.y};
}
inline Point FromPoint(POINT point) {
  return Point{point.x, point.y};
}

}  // namespace hidhost::platform::win32
