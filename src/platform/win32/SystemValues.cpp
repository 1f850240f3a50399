// The logic and the simulated desktop name the system's values through
// platform/Constants.h without its headers, so a wrong value there is the same
// on both sides of every native test. Here each one is held to the headers
// the Windows build compiles against: a value that differs stops the build.
#include <utility>

#include "contracts/DriverProtocol.h"
#include "platform/Constants.h"
#include "platform/Types.h"
#include "platform/win32/Win32Api.h"
// After Win32Api.h, which brings windows.h first.
#include <winioctl.h>
#include <wtsapi32.h>

namespace hidhost::platform::win32 {
namespace {

// Compares by value whatever the two types' signedness: the headers spell
// flags as int, long or unsigned as history left them.
#define HIDHOST_SYSTEM_VALUE(ours, system) \
  static_assert(std::cmp_equal(ours, system), #ours " differs from " #system)

// Window messages.
HIDHOST_SYSTEM_VALUE(kWmNull, WM_NULL);
HIDHOST_SYSTEM_VALUE(kWmCreate, WM_CREATE);
HIDHOST_SYSTEM_VALUE(kWmDestroy, WM_DESTROY);
HIDHOST_SYSTEM_VALUE(kWmClose, WM_CLOSE);
HIDHOST_SYSTEM_VALUE(kWmWinIniChange, WM_WININICHANGE);
HIDHOST_SYSTEM_VALUE(kWmNcCreate, WM_NCCREATE);
HIDHOST_SYSTEM_VALUE(kWmNcDestroy, WM_NCDESTROY);
HIDHOST_SYSTEM_VALUE(kWmKeyDown, WM_KEYDOWN);
HIDHOST_SYSTEM_VALUE(kWmKeyUp, WM_KEYUP);
HIDHOST_SYSTEM_VALUE(kWmCommand, WM_COMMAND);
HIDHOST_SYSTEM_VALUE(kWmTimer, WM_TIMER);
HIDHOST_SYSTEM_VALUE(kWmHScroll, WM_HSCROLL);
HIDHOST_SYSTEM_VALUE(kWmLButtonDown, WM_LBUTTONDOWN);
HIDHOST_SYSTEM_VALUE(kWmLButtonDblClk, WM_LBUTTONDBLCLK);
HIDHOST_SYSTEM_VALUE(kWmRButtonDown, WM_RBUTTONDOWN);
HIDHOST_SYSTEM_VALUE(kWmDeviceChange, WM_DEVICECHANGE);
HIDHOST_SYSTEM_VALUE(kWmWtsSessionChange, WM_WTSSESSION_CHANGE);
HIDHOST_SYSTEM_VALUE(kWmUser, WM_USER);
HIDHOST_SYSTEM_VALUE(kWmApp, WM_APP);

// Window styles and window-long indices.
HIDHOST_SYSTEM_VALUE(kWsPopup, WS_POPUP);
HIDHOST_SYSTEM_VALUE(kWsHScroll, WS_HSCROLL);
HIDHOST_SYSTEM_VALUE(kWsVScroll, WS_VSCROLL);
HIDHOST_SYSTEM_VALUE(kWsExToolWindow, WS_EX_TOOLWINDOW);
HIDHOST_SYSTEM_VALUE(kSbsVert, SBS_VERT);
HIDHOST_SYSTEM_VALUE(kSbsSizeBox, SBS_SIZEBOX);
HIDHOST_SYSTEM_VALUE(kGwlStyle, GWL_STYLE);
HIDHOST_SYSTEM_VALUE(kGwlExStyle, GWL_EXSTYLE);

// GetWindow relations, ShowWindow commands, scroll-bar commands.
HIDHOST_SYSTEM_VALUE(kGwHwndNext, GW_HWNDNEXT);
HIDHOST_SYSTEM_VALUE(kGwHwndPrev, GW_HWNDPREV);
HIDHOST_SYSTEM_VALUE(kGwChild, GW_CHILD);
HIDHOST_SYSTEM_VALUE(kSwShowNormal, SW_SHOWNORMAL);
HIDHOST_SYSTEM_VALUE(kSwShow, SW_SHOW);
HIDHOST_SYSTEM_VALUE(kSbLineLeft, SB_LINELEFT);
HIDHOST_SYSTEM_VALUE(kSbLineRight, SB_LINERIGHT);

// mouse_event flags and data.
HIDHOST_SYSTEM_VALUE(kMouseLeftDown, MOUSEEVENTF_LEFTDOWN);
HIDHOST_SYSTEM_VALUE(kMouseLeftUp, MOUSEEVENTF_LEFTUP);
HIDHOST_SYSTEM_VALUE(kMouseRightDown, MOUSEEVENTF_RIGHTDOWN);
HIDHOST_SYSTEM_VALUE(kMouseRightUp, MOUSEEVENTF_RIGHTUP);
HIDHOST_SYSTEM_VALUE(kMouseMiddleDown, MOUSEEVENTF_MIDDLEDOWN);
HIDHOST_SYSTEM_VALUE(kMouseMiddleUp, MOUSEEVENTF_MIDDLEUP);
HIDHOST_SYSTEM_VALUE(kMouseXDown, MOUSEEVENTF_XDOWN);
HIDHOST_SYSTEM_VALUE(kMouseXUp, MOUSEEVENTF_XUP);
HIDHOST_SYSTEM_VALUE(kMouseWheel, MOUSEEVENTF_WHEEL);
HIDHOST_SYSTEM_VALUE(kMouseAbsolute, MOUSEEVENTF_ABSOLUTE);
HIDHOST_SYSTEM_VALUE(kXButton1, XBUTTON1);
HIDHOST_SYSTEM_VALUE(kXButton2, XBUTTON2);
HIDHOST_SYSTEM_VALUE(kWheelDelta, WHEEL_DELTA);

// keybd_event flags and the virtual keys the logic names.
HIDHOST_SYSTEM_VALUE(kKeyExtended, KEYEVENTF_EXTENDEDKEY);
HIDHOST_SYSTEM_VALUE(kKeyUp, KEYEVENTF_KEYUP);
HIDHOST_SYSTEM_VALUE(kVkTab, VK_TAB);
HIDHOST_SYSTEM_VALUE(kVkShift, VK_SHIFT);
HIDHOST_SYSTEM_VALUE(kVkControl, VK_CONTROL);
HIDHOST_SYSTEM_VALUE(kVkMenu, VK_MENU);
HIDHOST_SYSTEM_VALUE(kVkLeft, VK_LEFT);
HIDHOST_SYSTEM_VALUE(kVkRight, VK_RIGHT);
HIDHOST_SYSTEM_VALUE(kVkLWin, VK_LWIN);
HIDHOST_SYSTEM_VALUE(kVkF4, VK_F4);
HIDHOST_SYSTEM_VALUE(kVkLMenu, VK_LMENU);
HIDHOST_SYSTEM_VALUE(kMapVkToVsc, MAPVK_VK_TO_VSC);

// System metrics and parameters.
HIDHOST_SYSTEM_VALUE(kSmSwapButton, SM_SWAPBUTTON);
HIDHOST_SYSTEM_VALUE(kSpiSetMouse, SPI_SETMOUSE);
HIDHOST_SYSTEM_VALUE(kSpiSetMouseButtonSwap, SPI_SETMOUSEBUTTONSWAP);
HIDHOST_SYSTEM_VALUE(kSpiSetWheelScrollLines, SPI_SETWHEELSCROLLLINES);
HIDHOST_SYSTEM_VALUE(kSpiSetMouseSpeed, SPI_SETMOUSESPEED);
HIDHOST_SYSTEM_VALUE(kSpifSendChange, SPIF_SENDCHANGE);
HIDHOST_SYSTEM_VALUE(kWheelPageScroll, WHEEL_PAGESCROLL);

// Registry, files and devices, waits.
HIDHOST_SYSTEM_VALUE(kKeyAllAccess, KEY_ALL_ACCESS);
HIDHOST_SYSTEM_VALUE(kRegSz, REG_SZ);
HIDHOST_SYSTEM_VALUE(kGenericRead, GENERIC_READ);
HIDHOST_SYSTEM_VALUE(kGenericWrite, GENERIC_WRITE);
HIDHOST_SYSTEM_VALUE(kFileShareRead, FILE_SHARE_READ);
HIDHOST_SYSTEM_VALUE(kOpenExisting, OPEN_EXISTING);
HIDHOST_SYSTEM_VALUE(kInfinite, INFINITE);

// Notification area, menus and the shell.
HIDHOST_SYSTEM_VALUE(kNimAdd, NIM_ADD);
HIDHOST_SYSTEM_VALUE(kNimDelete, NIM_DELETE);
HIDHOST_SYSTEM_VALUE(kNifMessage, NIF_MESSAGE);
HIDHOST_SYSTEM_VALUE(kNifIcon, NIF_ICON);
HIDHOST_SYSTEM_VALUE(kNifTip, NIF_TIP);
HIDHOST_SYSTEM_VALUE(kMfString, MF_STRING);
HIDHOST_SYSTEM_VALUE(kMfSeparator, MF_SEPARATOR);
HIDHOST_SYSTEM_VALUE(kCsidlDrives, CSIDL_DRIVES);

// Process power throttling and session changes.
HIDHOST_SYSTEM_VALUE(kPowerThrottlingCurrentVersion, PROCESS_POWER_THROTTLING_CURRENT_VERSION);
HIDHOST_SYSTEM_VALUE(kPowerThrottlingIgnoreTimerResolution,
                     PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION);
HIDHOST_SYSTEM_VALUE(kWtsConsoleConnect, WTS_CONSOLE_CONNECT);
HIDHOST_SYSTEM_VALUE(kWtsConsoleDisconnect, WTS_CONSOLE_DISCONNECT);
HIDHOST_SYSTEM_VALUE(kNotifyForThisSession, NOTIFY_FOR_THIS_SESSION);

// The driver's control codes are its own, so no header names them; each is
// the driver's function number in the layout every control code has
// (unknown device type, buffered transfer, any access).
constexpr DWORD DriverCode(DWORD function) {
  return CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS);
}
HIDHOST_SYSTEM_VALUE(contracts::kIoctlRegisterSemaphore, DriverCode(0x900));
HIDHOST_SYSTEM_VALUE(contracts::kIoctlUnregister, DriverCode(0x901));
HIDHOST_SYSTEM_VALUE(contracts::kIoctlReadEvent, DriverCode(0x902));
HIDHOST_SYSTEM_VALUE(contracts::kIoctlSetPassThroughMask, DriverCode(0x908));

#undef HIDHOST_SYSTEM_VALUE

}  // namespace
}  // namespace hidhost::platform::win32
