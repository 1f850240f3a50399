// Framework windows: the class, the order in which the procedure sees its
// first and last messages, a refused creation, the message loop, and child
// enumeration through the plain-function trampoline.
#include <vector>

#include "Checks.h"
#include "RecordingProcedure.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

const WindowAttributes kAttributes{0, "HidHostBackendCheck", WS_POPUP, 100, 100, 100, 100};

using Messages = std::vector<std::uint32_t>;
const Messages kLifeMessages = {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY};

bool SawRegisteredMessage(const RecordingProcedure& procedure) {
  for (const auto& seen : procedure.Messages()) {
    if (seen.message >= 0xC000 && seen.message <= 0xFFFF) return true;
  }
  return false;
}

void CheckAcceptedWindow(Checks& check, Win32Platform& platform) {
  RecordingProcedure procedure(platform.windows);
  const Hwnd hwnd = platform.windows.CreateFrameworkWindow(kAttributes, procedure);
  const HWND window = ToHwnd(hwnd);
  check.True(1, "created", IsSet(hwnd));
  check.Equal(2, "first message the procedure sees", procedure.Messages().front().message,
              static_cast<std::uint32_t>(WM_NCCREATE));
  check.True(3, "every message names the window", [&] {
    for (const auto& seen : procedure.Messages()) {
      if (seen.hwnd != hwnd) return false;
    }
    return true;
  }());
  check.Equal(4, "class style", GetClassLongPtrA(window, GCL_STYLE), ULONG_PTR{0});
  check.True(5, "no class cursor, brush or icon",
             GetClassLongPtrA(window, GCLP_HCURSOR) == 0 &&
                 GetClassLongPtrA(window, GCLP_HBRBACKGROUND) == 0 &&
                 GetClassLongPtrA(window, GCLP_HICON) == 0);
  Rect rect;
  check.True(6, "GetWindowRect", platform.windows.GetWindowRect(hwnd, rect));
  check.True(7, "position and size", rect == Rect{100, 100, 200, 200});
  check.Equal(8, "found by its title",
              ValueOf(platform.windows.FindWindowByTitle(kAttributes.title)), ValueOf(hwnd));
  check.True(9, "never shown", !IsWindowVisible(window));
  check.Equal(10, "extended style as given", platform.windows.GetWindowLong(hwnd, GWL_EXSTYLE), 0);
  check.Equal(11, "SetWindowLong answers the old extended style",
              platform.windows.SetWindowLong(hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW), 0);
  check.Equal(12, "extended style replaced", platform.windows.GetWindowLong(hwnd, GWL_EXSTYLE),
              WS_EX_TOOLWINDOW);
  check.True(13, "DestroyWindow", ::DestroyWindow(ToHwnd(hwnd)));
  check.True(14, "life messages in order", procedure.Only(kLifeMessages) == kLifeMessages);
  check.Equal(15, "last message the procedure sees", procedure.Messages().back().message,
              static_cast<std::uint32_t>(WM_NCDESTROY));
  check.True(16, "no registered message reached the procedure", !SawRegisteredMessage(procedure));
}

void CheckRefusedWindow(Checks& check, Win32Platform& platform) {
  RecordingProcedure procedure(platform.windows, /*refuseCreation=*/true);
  const Hwnd hwnd = platform.windows.CreateFrameworkWindow(kAttributes, procedure);
  check.True(20, "refused creation gives no window", !IsSet(hwnd));
  if (!check.True(21, "refused window still gets WM_DESTROY and WM_NCDESTROY",
                  procedure.Only(kLifeMessages) == kLifeMessages)) {
    for (const auto& seen : procedure.Messages()) std::printf("  seen 0x%X\n", seen.message);
  }
}

void CheckMessageLoop(Checks& check, Win32Platform& platform) {
  RecordingProcedure procedure(platform.windows);
  const Hwnd hwnd = platform.windows.CreateFrameworkWindow(kAttributes, procedure);
  const std::uint32_t custom = WM_APP + 5;
  platform.windows.PostMessage(hwnd, custom, 11, 0);
  platform.windows.PostQuitMessage(7);
  check.Equal(30, "the loop gives the quit message's code", platform.windows.RunMessageLoop(), 7);
  check.Equal(31, "posted message dispatched before the quit", procedure.Only({custom}).size(), 1u);
  ::DestroyWindow(ToHwnd(hwnd));
}

struct Enumeration {
  std::vector<Hwnd> children;
  bool stopAfterFirst = false;
};

bool CollectChild(Hwnd child, void* context) {
  auto* enumeration = static_cast<Enumeration*>(context);
  enumeration->children.push_back(child);
  return !enumeration->stopAfterFirst;
}

void CheckChildEnumeration(Checks& check, Win32Platform& platform) {
  RecordingProcedure procedure(platform.windows);
  const Hwnd parent = platform.windows.CreateFrameworkWindow(kAttributes, procedure);
  HWND first = CreateWindowExA(0, "STATIC", "a", WS_CHILD, 0, 0, 10, 10, ToHwnd(parent), nullptr,
                               nullptr, nullptr);
  HWND second = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD, 10, 0, 10, 10, ToHwnd(parent),
                                nullptr, nullptr, nullptr);
  Enumeration all;
  platform.windows.EnumChildWindows(parent, CollectChild, &all);
  check.True(40, "every child, in z-order",
             all.children == std::vector<Hwnd>{FromHwnd(first), FromHwnd(second)});
  Enumeration stopping{{}, true};
  platform.windows.EnumChildWindows(parent, CollectChild, &stopping);
  check.Equal(41, "a callback answering false stops the enumeration", stopping.children.size(), 1u);
  ClassName name;
  check.True(42, "GetClassName", platform.windows.GetClassName(FromHwnd(second), name));
  check.True(43, "class name of a scroll bar", name.Is("ScrollBar"));
  check.Equal(44, "GetParent", ValueOf(platform.windows.GetParent(FromHwnd(first))),
              ValueOf(parent));
  check.Equal(45, "GetWindow child", ValueOf(platform.windows.GetWindow(parent, GW_CHILD)),
              ValueOf(FromHwnd(first)));
  ::DestroyWindow(ToHwnd(parent));
}

void CheckSessionEntries(Checks& check, Win32Platform& platform) {
  check.True(50, "no session library, no registration",
             !platform.windows.RegisterSessionNotification(Module::None, Hwnd::None, 0));
  const Module kernel = FromModule(GetModuleHandleA("kernel32.dll"));
  check.True(51, "a library without the entry, no registration",
             !platform.windows.RegisterSessionNotification(kernel, Hwnd::None, 0));
  check.True(52, "nor unregistration",
             !platform.windows.UnregisterSessionNotification(kernel, Hwnd::None));
}

}  // namespace

int CheckWindows() {
  Checks check("windows");
  Win32Platform platform;
  CheckAcceptedWindow(check, platform);
  CheckRefusedWindow(check, platform);
  CheckMessageLoop(check, platform);
  CheckChildEnumeration(check, platform);
  CheckSessionEntries(check, platform);
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
