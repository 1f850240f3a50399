// Kernel handles owned by the emulator: closed exactly once, whatever path
// a request takes.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace hidhost::driver_emu {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

using OwnedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

inline OwnedHandle Own(HANDLE handle) {
  return OwnedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace hidhost::driver_emu
