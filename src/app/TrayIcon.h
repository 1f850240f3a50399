// The host's one icon in the notification area, and what its clicks do.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Platform.h"

namespace hidhost::app {

inline constexpr std::uint32_t kTrayIconId = 102;
inline constexpr std::uint32_t kTrayCallbackMessage = 0x40C;
inline constexpr std::uint32_t kTrayIconResource = 128;
inline constexpr const char* kTrayTip = "RQ4471 Driver";

inline constexpr std::uint32_t kOpenSettingsCommand = 6001;
inline constexpr std::uint32_t kExitCommand = 6002;
inline constexpr std::uint32_t kOpenSettingsString = 1000;
inline constexpr std::uint32_t kExitString = 1001;
// Shown when the string library or one of its strings is missing.
inline constexpr const char* kOpenSettingsFallback = "Settings...";
inline constexpr const char* kExitFallback = "Exit";

class TrayIcon {
 public:
  explicit TrayIcon(platform::Platform& platform) : platform_(platform) {}

  // Window thread and event thread alike.
  void Add(platform::Hwnd host);
  void Remove(platform::Hwnd host);
  // Whether the last call was an Add: the icon to restore when the taskbar is re-created.
  bool Added() const { return added_.load(std::memory_order_acquire); }

 private:
  platform::Platform& platform_;
  std::atomic<bool> added_{false};
};

// The notification callback (window thread); lParam is the mouse message.
void OnTrayCallback(platform::Platform& platform, platform::Hwnd host, platform::Module strings,
                    platform::LParam mouseMessage);

}  // namespace hidhost::app
