// Handles and views owned by the configuration program stand-in.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace hidhost::option {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using OwnedHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct ViewUnmapper {
  void operator()(void* view) const { UnmapViewOfFile(view); }
};
using OwnedView = std::unique_ptr<void, ViewUnmapper>;

}  // namespace hidhost::option
