// Actions that go through the shell.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace hidhost::actions {

void OpenMyComputer(platform::Platform& platform);

// Event thread: the shell automation object belongs to the window thread's
// apartment, so codes 69 and 84 are handed to the host window as a message.
void RequestShellAction(platform::Platform& platform, platform::Hwnd hostWindow, std::uint8_t code);
// Window thread: performs a handed-over code on the shell object, if there is one.
void RunShellAction(platform::Platform& platform, platform::WParam code, platform::ComObject shell);

}  // namespace hidhost::actions
