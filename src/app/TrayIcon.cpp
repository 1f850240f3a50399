#include "app/TrayIcon.h"

#include "platform/Constants.h"

namespace hidhost::app {

void TrayIcon::Add(platform::Hwnd host) {
  std::lock_guard lock(mutex_);
  AddLocked(host);
}

void TrayIcon::Restore(platform::Hwnd host) {
  std::lock_guard lock(mutex_);
  if (added_) AddLocked(host);
}

void TrayIcon::AddLocked(platform::Hwnd host) {
  platform::NotifyIconData data;
  data.hwnd = host;
  data.id = kTrayIconId;
  data.flags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  data.callbackMessage = kTrayCallbackMessage;
  data.iconResource = kTrayIconResource;
  data.tip = kTrayTip;
  added_ = true;
  shownFor_.store(host, std::memory_order_seq_cst);
  platform_.shell.NotifyIcon(platform::kNimAdd, data);
}

void TrayIcon::Remove(platform::Hwnd host) {
  platform::NotifyIconData data;
  data.hwnd = host;
  data.id = kTrayIconId;
  data.callbackMessage = kTrayCallbackMessage;
  std::lock_guard lock(mutex_);
  added_ = false;
  shownFor_.store(platform::Hwnd::None, std::memory_order_seq_cst);
  platform_.shell.NotifyIcon(platform::kNimDelete, data);
}

void TrayIcon::RemoveAfterCrash(platform::Shell& direct) noexcept {
  const platform::Hwnd host = shownFor_.exchange(platform::Hwnd::None, std::memory_order_seq_cst);
  if (!platform::IsSet(host)) return;
  platform::NotifyIconData data;
  data.hwnd = host;
  data.id = kTrayIconId;
  data.callbackMessage = kTrayCallbackMessage;
  direct.NotifyIcon(platform::kNimDelete, data);
}

bool TrayIcon::Added() const {
  std::lock_guard lock(mutex_);
  return added_;
}

}  // namespace hidhost::app
