// Numeric values of the system's messages, flags and codes that the logic
// uses. They are the system's own values, kept here so that the logic can
// name them without including the system's headers.
#pragma once

#include <cstdint>

namespace hidhost::platform {

// Window messages.
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmCreate = 0x0001;
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmWinIniChange = 0x001A;
inline constexpr std::uint32_t kWmNcCreate = 0x0081;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmHScroll = 0x0114;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmDeviceChange = 0x0219;
inline constexpr std::uint32_t kWmWtsSessionChange = 0x02B1;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmApp = 0x8000;

// Window styles and window-long indices.
inline constexpr std::uint32_t kWsPopup = 0x80000000u;
inline constexpr std::uint32_t kWsHScroll = 0x00100000u;
inline constexpr std::uint32_t kWsVScroll = 0x00200000u;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080u;
inline constexpr std::uint32_t kSbsVert = 0x0001;
inline constexpr std::uint32_t kSbsSizeBox = 0x0008;
inline constexpr std::int32_t kGwlStyle = -16;
inline constexpr std::int32_t kGwlExStyle = -20;

// GetWindow relations.
inline constexpr std::uint32_t kGwHwndNext = 2;
inline constexpr std::uint32_t kGwHwndPrev = 3;
inline constexpr std::uint32_t kGwChild = 5;

// ShowWindow commands.
inline constexpr std::int32_t kSwShowNormal = 1;
inline constexpr std::int32_t kSwShow = 5;

// Scroll-bar commands.
inline constexpr std::uint32_t kSbLineLeft = 0;
inline constexpr std::uint32_t kSbLineRight = 1;

// mouse_event flags and data.
inline constexpr std::uint32_t kMouseLeftDown = 0x0002;
inline constexpr std::uint32_t kMouseLeftUp = 0x0004;
inline constexpr std::uint32_t kMouseRightDown = 0x0008;
inline constexpr std::uint32_t kMouseRightUp = 0x0010;
inline constexpr std::uint32_t kMouseMiddleDown = 0x0020;
inline constexpr std::uint32_t kMouseMiddleUp = 0x0040;
inline constexpr std::uint32_t kMouseXDown = 0x0080;
inline constexpr std::uint32_t kMouseXUp = 0x0100;
inline constexpr std::uint32_t kMouseWheel = 0x0800;
inline constexpr std::uint32_t kMouseAbsolute = 0x8000;
inline constexpr std::int32_t kXButton1 = 1;
inline constexpr std::int32_t kXButton2 = 2;
inline constexpr std::int32_t kWheelDelta = 120;

// keybd_event flags.
inline constexpr std::uint32_t kKeyExtended = 0x0001;
inline constexpr std::uint32_t kKeyUp = 0x0002;

// Virtual-key codes named by the logic.
inline constexpr std::uint8_t kVkTab = 0x09;
inline constexpr std::uint8_t kVkShift = 0x10;
inline constexpr std::uint8_t kVkControl = 0x11;
inline constexpr std::uint8_t kVkMenu = 0x12;
inline constexpr std::uint8_t kVkLeft = 0x25;
inline constexpr std::uint8_t kVkRight = 0x27;
inline constexpr std::uint8_t kVkLWin = 0x5B;
inline constexpr std::uint8_t kVkF4 = 0x73;
inline constexpr std::uint8_t kVkLMenu = 0xA4;

inline constexpr std::uint32_t kMapVkToVsc = 0;

// GetSystemMetrics.
inline constexpr std::int32_t kSmSwapButton = 23;

// SystemParametersInfo.
inline constexpr std::uint32_t kSpiSetMouse = 4;
inline constexpr std::uint32_t kSpiSetMouseButtonSwap = 33;
inline constexpr std::uint32_t kSpiSetWheelScrollLines = 105;
inline constexpr std::uint32_t kSpiSetMouseSpeed = 113;
inline constexpr std::uint32_t kSpifSendChange = 2;
inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFFu;

// Registry.
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kRegSz = 1;

// Files and devices.
inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kFileShareRead = 1;
inline constexpr std::uint32_t kOpenExisting = 3;

// Notification area and menus.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kMfString = 0x0000;
inline constexpr std::uint32_t kMfSeparator = 0x0800;

// Shell.
inline constexpr std::int32_t kCsidlDrives = 17;

// Process power throttling (SetProcessInformation, ProcessPowerThrottling).
inline constexpr std::uint32_t kPowerThrottlingCurrentVersion = 1;
inline constexpr std::uint32_t kPowerThrottlingIgnoreTimerResolution = 0x4;

// Session changes.
inline constexpr std::uint32_t kWtsConsoleConnect = 1;
inline constexpr std::uint32_t kWtsConsoleDisconnect = 2;
inline constexpr std::uint32_t kNotifyForThisSession = 0;

}  // namespace hidhost::platform
