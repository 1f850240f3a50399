// The seam's facets on the real system, each made by the file that
// implements it: every method makes the system call it is named after.
#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/FrameworkWindowClass.h"

namespace hidhost::platform::win32 {

std::unique_ptr<Input> MakeInput();
// Windows and timers of the framework's window class.
std::unique_ptr<Windows> MakeWindows(const FrameworkWindowClass& windowClass);
std::unique_ptr<Timers> MakeTimers(const FrameworkWindowClass& windowClass);
std::unique_ptr<Registry> MakeRegistry();
std::unique_ptr<ProfileFiles> MakeProfileFiles();
std::unique_ptr<Kernel> MakeKernel();
std::unique_ptr<Shell> MakeShell();
// The mouse driver's control device.
std::unique_ptr<DriverDevice> MakeDriverDevice();
// The driver's stand-in for systems where no kernel driver can be loaded
// (Wine): the same requests and buffers, carried over the emulator's pipe.
std::unique_ptr<DriverDevice> MakeEmulatedDriverDevice();

}  // namespace hidhost::platform::win32
