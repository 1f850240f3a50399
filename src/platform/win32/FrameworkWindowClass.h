// The window class behind every framework window, and the two backend-private
// messages through which another thread's timer requests reach the window's
// own thread.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class FrameworkWindowClass {
 public:
  // Registers the class (once per process; a second platform object finds
  // it registered) and the private messages.
  FrameworkWindowClass();
  FrameworkWindowClass(const FrameworkWindowClass&) = delete;
  FrameworkWindowClass& operator=(const FrameworkWindowClass&) = delete;

  // CreateWindowExA of this class; every message of the window, from
  // WM_NCCREATE to WM_NCDESTROY, goes to the procedure.
  Hwnd Create(const WindowAttributes& attributes, WindowProcedure& procedure) const;

  std::uint32_t SetTimerMessage() const { return setTimerMessage_; }
  std::uint32_t KillTimerMessage() const { return killTimerMessage_; }

 private:
  std::uint32_t setTimerMessage_;
  std::uint32_t killTimerMessage_;
};

}  // namespace hidhost::platform::win32
