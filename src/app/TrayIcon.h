// The host's one icon in the notification area, and what its clicks do.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

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

// Called by the window thread (start-up, device change, console connect,
// taskbar re-created, tear-down) and by the event thread (arrival, removal).
// Each call sets the shown flag and makes its shell call as one step under a
// lock, so the flag always tells what the last shell call did and a restore
// can never re-add an icon that a removal has just taken away.
class TrayIcon {
 public:
  explicit TrayIcon(platform::Platform& platform) : platform_(platform) {}

  void Add(platform::Hwnd host);
  void Remove(platform::Hwnd host);
  // The taskbar was re-created and lost every icon: shows ours again if it was shown.
  void Restore(platform::Hwnd host);
  // Whether the icon is shown, as far as the host knows.
  bool Added() const;
  // The process has crashed: takes the icon away through `direct`, without
  // the lock, which the crashed thread may hold.
  void RemoveAfterCrash(platform::Shell& direct) noexcept;

 private:
  void AddLocked(platform::Hwnd host);

  platform::Platform& platform_;
  mutable std::mutex mutex_;
  bool added_ = false;  // guarded by mutex_
  // The window the icon was added for, None when removed: written under
  // mutex_, read and taken without it by the crash path.
  std::atomic<platform::Hwnd> shownFor_{platform::Hwnd::None};
};

// The notification callback (window thread); lParam is the mouse message.
void OnTrayCallback(platform::Platform& platform, platform::Hwnd host, platform::Module strings,
                    platform::LParam mouseMessage);

}  // namespace hidhost::app
