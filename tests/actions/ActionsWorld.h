// One simulated desktop per test with a process, a host window that routes
// WM_TIMER and the shell request to a dispatcher, and the default settings.
// Trace lines are built with the helpers below so that tables read as input.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "actions/ActionDispatcher.h"
#include "actions/HeldFunctionFlags.h"
#include "platform/Constants.h"
#include "platform/Platform.h"
#include "platform/sim/SimDesktop.h"
#include "settings/LiveSettings.h"
#include "settings/MouseSettings.h"

namespace hidhost::actions::testing {

using Lines = std::vector<std::string>;

inline std::string Format(const char* format, auto... values) {
  char line[160];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

inline std::string KeyLine(unsigned vk, unsigned scan, unsigned flags) {
  return Format("keybd_event vk=0x%X scan=0x%X flags=0x%X", vk, scan, flags);
}
inline std::string MouseLine(unsigned flags, int dx, int dy, int data, unsigned extra = 0) {
  return Format("mouse_event flags=0x%X dx=%d dy=%d data=%d extra=%u", flags, dx, dy, data, extra);
}
inline std::string PostLine(std::uintptr_t hwnd, unsigned msg, std::uintptr_t wParam,
                            std::uintptr_t lParam) {
  return Format("PostMessageA hwnd=0x%llX msg=0x%X wParam=0x%llX lParam=0x%llX",
                static_cast<unsigned long long>(hwnd), msg, static_cast<unsigned long long>(wParam),
                static_cast<unsigned long long>(lParam));
}
inline std::string CursorLine(int x, int y) {
  return Format("SetCursorPos x=%d y=%d", x, y);
}
inline std::string SetTimerLine(unsigned id, unsigned period) {
  return Format("SetTimer id=%u period=%u", id, period);
}
inline std::string KillTimerLine(unsigned id) {
  return Format("KillTimer id=%u", id);
}
inline const std::string kSleep1 = "Sleep ms=1";
inline const std::string kRaise = "timeBeginPeriod ms=1";
inline const std::string kLower = "timeEndPeriod ms=1";

// The catalogue's key blocks: extended flag on both edges, scan code 0.
inline std::string Down(unsigned vk) {
  return KeyLine(vk, 0, 1);
}
inline std::string Up(unsigned vk) {
  return KeyLine(vk, 0, 3);
}
inline Lines Tap(unsigned vk) {
  return {Down(vk), Up(vk)};
}
inline Lines Ctrl(unsigned vk) {
  return {Down(0x11), Down(vk), Up(0x11), Up(vk)};
}
inline Lines Chord(unsigned modifier, unsigned vk) {
  return {Down(modifier), Down(vk), Up(vk), Up(modifier)};
}
inline Lines ClickOf(unsigned down, unsigned up, int data = 0) {
  return {MouseLine(down, 0, 0, data), MouseLine(up, 0, 0, data)};
}
inline Lines LeftClick() {
  return ClickOf(0x2, 0x4);
}
inline Lines RightClick() {
  return ClickOf(0x8, 0x10);
}
inline Lines MiddleClick() {
  return ClickOf(0x20, 0x40);
}
inline Lines X1Click() {
  return ClickOf(0x80, 0x100, 1);
}
inline Lines X2Click() {
  return ClickOf(0x80, 0x100, 2);
}
inline Lines Wheel(int delta) {
  return {MouseLine(0x800, 0, 0, delta)};
}

inline Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Lines Times(int count, const Lines& lines) {
  Lines all;
  for (int i = 0; i < count; ++i) all = all + lines;
  return all;
}

inline settings::MouseSettings DefaultRecord() {
  settings::MouseSettings record{};
  settings::SetDefaultSettings(record);
  return record;
}

// The host window's side: WM_TIMER and the shell request, as the host routes them.
class TestHostProcedure : public platform::WindowProcedure {
 public:
  TestHostProcedure(platform::Platform& platform, ActionDispatcher& dispatcher)
      : platform_(platform), dispatcher_(dispatcher) {}
  void SetShell(platform::ComObject shell) { shell_ = shell; }

  platform::LResult OnMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                              platform::LParam lParam) override {
    if (message == kShellRequestMessage) {
      dispatcher_.OnShellRequest(wParam, shell_);
      return 0;
    }
    if (message == platform::kWmTimer) dispatcher_.OnTimer(wParam);
    return platform_.windows.DefWindowProc(hwnd, message, wParam, lParam);
  }

 private:
  platform::Platform& platform_;
  ActionDispatcher& dispatcher_;
  platform::ComObject shell_ = platform::ComObject::None;
};

class ActionsWorld : public ::testing::Test {
 protected:
  static constexpr platform::Point kCursor{400, 300};

  ActionsWorld() {
    desktop.SetCursor(kCursor);
    platform::WindowAttributes attributes;
    attributes.title = "QUILL48HidHost";
    host = platform.windows.CreateFrameworkWindow(attributes, procedure);
    dispatcher.AttachWindow(host);
    desktop.TakeTrace();
  }

  void Assign(int index, std::uint8_t code, std::uint8_t modifier = 0, std::uint8_t usage = 0) {
    settings::MouseSettings record = settings.Snapshot();
    record.ButtonInfo[static_cast<std::size_t>(index)] = {static_cast<std::uint8_t>(index + 1),
                                                          code, modifier, usage};
    settings.Replace(record);
  }
  void SetSwap(bool swapped) { settings.Set(settings::Field::SwapMouseButtons, swapped ? 1 : 0); }

  // Each runs one operation and gives what it caused, the shell request's
  // delivery to the host window included.
  Lines Press(int index) {
    dispatcher.OnButtonPress(index);
    return Settle();
  }
  Lines Release(int index) {
    dispatcher.OnButtonRelease(index);
    return Settle();
  }
  Lines SingleShot(int index) {
    dispatcher.RunSingleShot(index);
    return Settle();
  }
  Lines Tick(std::uintptr_t id) {
    dispatcher.OnTimer(id);
    return Settle();
  }
  Lines Settle() {
    process.PumpMessages();
    return desktop.TakeTrace();
  }
  bool TimerRuns(std::uintptr_t id) const { return process.HasTimer(host, id); }
  std::uintptr_t HostValue() const { return platform::ValueOf(host); }

  sim::SimDesktop desktop;
  sim::SimProcess& process = desktop.StartProcess();
  platform::Platform& platform = process.Platform();
  settings::LiveSettings settings{DefaultRecord()};
  HeldFunctionFlags flags;
  ActionDispatcher dispatcher{platform, settings, flags};
  TestHostProcedure procedure{platform, dispatcher};
  platform::Hwnd host = platform::Hwnd::None;
};

}  // namespace hidhost::actions::testing
