#include "app/TrayIcon.h"

#include "platform/Constants.h"

namespace hidhost::app {

void TrayIcon::Add(platform::Hwnd host) {
  platform::NotifyIconData data;
  data.hwnd = host;
  data.id = kTrayIconId;
  data.flags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
  data.callbackMessage = kTrayCallbackMessage;
  data.iconResource = kTrayIconResource;
  data.tip = kTrayTip;
  added_.store(true, std::memory_order_release);
  platform_.shell.NotifyIcon(platform::kNimAdd, data);
}

void TrayIcon::Remove(platform::Hwnd host) {
  platform::NotifyIconData data;
  data.hwnd = host;
  data.id = kTrayIconId;
  data.callbackMessage = kTrayCallbackMessage;
  added_.store(false, std::memory_order_release);
  platform_.shell.NotifyIcon(platform::kNimDelete, data);
}

}  // namespace hidhost::app
