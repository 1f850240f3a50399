// Owners for the system's own resources that the backend holds for a while
// inside one call (a security descriptor, a pipe being set up, a COM
// allocator), and that the stand-alone tools hold (Option.exe, the driver
// emulator). Handles that cross the seam are owned by the logic instead,
// through the seam's own traits.
//
// Each traits type names the object that owns the resource as the Owner
// (the backend object, or NoOwner in a tool), so that UniqueResource keeps
// its one shape; the system frees the resource, the owner is only where it
// belongs. Freeing keeps the thread's last error.
#pragma once

#include "platform/UniqueResource.h"
#include "platform/win32/Win32Api.h"

namespace hidhost::platform::win32 {

// Freeing must not overwrite the error of the call that made the caller give up.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : saved_(::GetLastError()) {}
  ~LastErrorKeeper() { ::SetLastError(saved_); }
  LastErrorKeeper(const LastErrorKeeper&) = delete;
  LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

 private:
  DWORD saved_;
};

// A kernel handle; INVALID_HANDLE_VALUE must be turned into nullptr before it is held.
template <typename OwnerType>
struct SystemHandleTraits {
  using Value = HANDLE;
  using Owner = OwnerType;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, HANDLE handle) {
    LastErrorKeeper keep;
    ::CloseHandle(handle);
  }
};

template <typename OwnerType>
struct MappedViewTraits {
  using Value = void*;
  using Owner = OwnerType;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, void* view) {
    LastErrorKeeper keep;
    ::UnmapViewOfFile(view);
  }
};

template <typename OwnerType>
struct LocalMemoryTraits {
  using Value = HLOCAL;
  using Owner = OwnerType;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, HLOCAL memory) {
    LastErrorKeeper keep;
    ::LocalFree(memory);
  }
};

template <typename OwnerType>
struct ComInterfaceTraits {
  using Value = IUnknown*;
  using Owner = OwnerType;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, IUnknown* object) { object->Release(); }
};

// An item ID list goes back to the allocator that the shell hands out. That
// allocator is the COM task allocator, which frees the list should the shell
// refuse to hand it out.
template <typename OwnerType>
struct ItemIdListTraits {
  using Value = LPITEMIDLIST;
  using Owner = OwnerType;
  static constexpr Value Empty() { return nullptr; }
  static void Close(Owner&, LPITEMIDLIST list) {
    IMalloc* allocator = nullptr;
    if (FAILED(::SHGetMalloc(&allocator)) || allocator == nullptr) {
      ::CoTaskMemFree(list);
      return;
    }
    allocator->Free(list);
    allocator->Release();
  }
};

// What the tools hold themselves. A failed open gives nullptr or
// INVALID_HANDLE_VALUE, depending on the call; both are held as empty.
using SystemHandle = UniqueResource<SystemHandleTraits<NoOwner>>;
using MappedView = UniqueResource<MappedViewTraits<NoOwner>>;
inline SystemHandle OwnHandle(HANDLE handle) {
  return SystemHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace hidhost::platform::win32
