// A desktop on which every part of the host has something to do, and a
// workload that makes it do all of it: the driver present, the on-screen
// display running, windows under the cursor for each scrolling strategy, and
// button assignments that reach every kind of output, timer and shell call.
// Shared by the fault-injection and stress tests and by the fuzz targets; the
// workload runs on any harness that offers Desktop, Process, Send and Event.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "app/ConfigurationProgram.h"
#include "app/TrayIcon.h"
#include "platform/Constants.h"
#include "settings/MouseSettings.h"
#include "support/HostHarness.h"

namespace hidhost::testing {

// Event words.
inline constexpr std::uint32_t kNoButtonWord = 0x000000;
inline constexpr std::uint32_t kEveryButtonWord = 0x00007F;
inline constexpr std::uint32_t kArrivedWord = 0x000400;
inline constexpr std::uint32_t kRemovedWord = 0x000800;
inline constexpr std::uint32_t kTiltRightWord = 0x010000;
inline constexpr std::uint32_t kTiltLeftWord = 0xFF0000;
constexpr std::uint32_t ButtonWord(int index) {
  return std::uint32_t{1} << index;
}

inline constexpr std::array<std::uintptr_t, 3> kRepeatTimerIds = {100, 200, 202};
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;

// One arrangement of windows, and a point over it for the cursor.
struct WindowScene {
  const char* name;
  std::vector<sim::WindowSpec> windows;
  platform::Point cursor;
};

// Each scene keeps to its own part of the screen, so that all of them can be
// on the desktop at once and the cursor picks one. The desktop's icon view
// lies under all the others.
inline const std::vector<WindowScene>& WindowScenes() {
  using platform::kWsHScroll;
  using platform::kWsVScroll;
  static const std::vector<WindowScene> scenes = {
      {"plain window with both bars",
       {{0x200, "Notepad", 0, {0, 0, 600, 300}, kWsHScroll | kWsVScroll, "Untitled"}},
       {100, 100}},
      {"spreadsheet",
       {{0x210, "XLMAIN", 0, {640, 0, 1240, 300}, 0, "Book1"},
        {0x211, "EXCEL7", 0x210, {640, 0, 1240, 280}, 0, ""},
        {0x212, "ScrollBar", 0x210, {640, 280, 1240, 300}, 0, ""}},
       {900, 100}},
      {"browser",
       {{0x220, "MozillaWindowClass", 0, {1280, 0, 1880, 300}, kWsHScroll, "Page"},
        {0x221, "MozillaWindowClass", 0x220, {1280, 0, 1880, 300}, 0, ""}},
       {1500, 100}},
      {"word processor",
       {{0x230, "OpusApp", 0, {0, 360, 600, 660}, 0, "Document1"},
        {0x231, "_WwG", 0x230, {0, 360, 600, 640}, 0, ""},
        {0x232, "ScrollBar", 0x230, {0, 640, 600, 660}, 0, ""}},
       {300, 500}},
      {"presentation with its bar in a holder beside the pane",
       {{0x260, "PPTFrameClass", 0, {640, 360, 1240, 660}, 0, "Presentation1"},
        {0x261, "paneClassDC", 0x260, {640, 360, 1240, 630}, 0, ""},
        {0x263, "BarHolder", 0x260, {640, 630, 1240, 660}, 0, ""},
        {0x262, "ScrollBar", 0x263, {650, 635, 1230, 655}, 0, ""}},
       {900, 500}},
      {"nothing scrollable",
       {{0x250, "Static", 0, {1280, 360, 1880, 660}, 0, "Label"}},
       {1500, 500}},
      {"desktop icons",
       {{0x240, "Progman", 0, {0, 0, 1920, 1080}, 0, "Program Manager"},
        {0x241, "SHELLDLL_DefView", 0x240, {0, 0, 1920, 1080}, 0, ""},
        {0x242, "SysListView32", 0x241, {0, 0, 1920, 1080}, kWsHScroll, "FolderView"}},
       {900, 900}},
  };
  return scenes;
}

inline void PointAtScene(sim::SimDesktop& desktop, std::size_t scene) {
  desktop.SetCursor(WindowScenes()[scene % WindowScenes().size()].cursor);
}

// The on-screen display runs; the configuration program does not, so that
// opening it goes through the shell (StartConfigurationProgram starts it).
// Control Panel\Desktop is missing, so that it is created. The cursor starts
// over one scene.
inline void FurnishDesktop(sim::SimDesktop& desktop, std::size_t scene) {
  desktop.SetDriver(sim::DriverMode::Present);
  desktop.AddWindow({0x300, "OsdWindow", 0, {}, 0, app::kDisplayWindowTitle});
  for (const WindowScene& each : WindowScenes()) {
    for (const sim::WindowSpec& window : each.windows) desktop.AddWindow(window);
  }
  PointAtScene(desktop, scene);
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseSpeed", "1");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseThreshold1", "6");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseThreshold2", "10");
  for (const char* line : {"[Setting]", "HScrollWheelSpeed=2", "OTGSpeed=3",
                           "ButtonInfo0=0101000002", "ButtonInfo3=041800001C"}) {
    desktop.AppendConfigLine(line);
  }
}

inline settings::ButtonAssignment Assign(int index, std::uint8_t code, std::uint8_t modifier = 0,
                                         std::uint8_t usage = 0) {
  return {static_cast<std::uint8_t>(index + 1), code, modifier, usage};
}

// Two sets of assignments that between them reach every kind of output: held
// buttons and keys, the key combination, both repeat timers and the
// switch-window timer, horizontal scrolling, and every shell call.
inline settings::MouseSettings BusyRecord(int variant) {
  settings::MouseSettings record{};
  settings::SetDefaultSettings(record);
  record.Acceleration = variant;  // one switches acceleration off, the other keeps it
  record.OTGSpeed = 2;
  record.HScrollWheelSpeed = 2;
  if (variant == 0) {
    record.ButtonInfo = {Assign(0, 1),  Assign(1, 5, 1, 0x06), Assign(2, 80), Assign(3, 24),
                         Assign(4, 21), Assign(5, 15),         Assign(6, 69)};
  } else {
    record.ButtonInfo = {Assign(0, 23),         Assign(1, 83), Assign(2, 4), Assign(3, 37),
                         Assign(4, 5, 3, 0xE2), Assign(5, 84), Assign(6, 16)};
  }
  return record;
}

inline std::array<std::uint8_t, settings::kMouseSettingsSize> BytesOf(
    const settings::MouseSettings& record) {
  std::array<std::uint8_t, settings::kMouseSettingsSize> bytes{};
  std::memcpy(bytes.data(), &record, bytes.size());
  return bytes;
}

// The configuration program's window, minimised, so that bringing it forward restores it.
inline void StartConfigurationProgram(sim::SimDesktop& desktop) {
  constexpr std::uint32_t kWsMinimize = 0x20000000;
  desktop.AddWindow({0x310, "#32770", 0, {}, kWsMinimize, app::kConfigurationWindowTitle});
}

// One tick of every repeat timer the host has running.
template <typename Host>
bool TickRunningTimers(Host& host) {
  for (std::uintptr_t id : kRepeatTimerIds) {
    if (host.Process().HasTimer(kHostHwnd, id) && !host.Send(platform::kWmTimer, id)) return false;
  }
  return true;
}

// Presses and lets go of every button in turn, ticking the timers while it is
// held, then tilts the wheel both ways. False once the host has ended.
template <typename Host>
bool PressEveryButton(Host& host) {
  for (int index = 0; index < settings::kButtonCount; ++index) {
    if (!host.Event(ButtonWord(index)) || !TickRunningTimers(host) || !host.Event(kNoButtonWord)) {
      return false;
    }
  }
  return host.Event(kTiltLeftWord) && host.Event(kTiltRightWord) && host.Event(kNoButtonWord);
}

struct WorkloadOptions {
  // False once the host may hold the shared block's mutex for good: the
  // configuration program would wait for it for ever, so it only sends notices.
  bool writeSharedBlock = true;
};

// The configuration program's side of an update: the block, then the notice.
template <typename Host>
bool SendUpdate(Host& host, const settings::MouseSettings& record, std::uint32_t notice,
                const WorkloadOptions& options = {}) {
  if (options.writeSharedBlock) host.Desktop().WriteSharedBlock(BytesOf(record));
  return host.Send(notice);
}

// Tilts the wheel both ways over every scene.
template <typename Host>
bool TiltOverEveryScene(Host& host) {
  for (std::size_t scene = 0; scene < WindowScenes().size(); ++scene) {
    PointAtScene(host.Desktop(), scene);
    if (!host.Event(kTiltLeftWord) || !host.Event(kTiltRightWord) || !host.Event(kNoButtonWord)) {
      return false;
    }
  }
  return true;
}

// Everything a running host can be asked to do, once. False once the host has
// ended (a fault may legitimately end it early).
template <typename Host>
bool RunBusyWorkload(Host& host, const WorkloadOptions& options = {}) {
  const std::uint32_t taskbarCreated =
      host.Process().Platform().windows.RegisterWindowMessage("TaskbarCreated");
  host.Process().ChooseMenuItem(app::kOpenSettingsCommand);
  const bool updatesAndButtons =
      SendUpdate(host, BusyRecord(0), app::kSettingsApplyAll, options) && PressEveryButton(host) &&
      TiltOverEveryScene(host) &&
      SendUpdate(host, BusyRecord(1), app::kSettingsApplyMaskFirst, options) &&
      PressEveryButton(host) && TiltOverEveryScene(host) &&
      SendUpdate(host, BusyRecord(0), app::kSettingsReload1, options);
  const bool tray = updatesAndButtons && host.Send(app::kTrayCallbackMessage, 0, kWmLButtonDown) &&
                    host.Send(app::kTrayCallbackMessage, 0, kWmRButtonDown) &&
                    host.Send(app::kTrayCallbackMessage, 0, kWmLButtonDblClk);
  if (!tray) return false;
  StartConfigurationProgram(host.Desktop());
  return host.Send(app::kTrayCallbackMessage, 0, kWmLButtonDblClk) && host.Send(taskbarCreated) &&
         host.Event(kRemovedWord) && host.Event(kArrivedWord) &&
         host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleDisconnect) &&
         host.Send(platform::kWmDeviceChange) &&
         host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleConnect) &&
         host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleConnect) &&
         host.Send(platform::kWmDeviceChange) && PressEveryButton(host) &&
         SendUpdate(host, BusyRecord(0), app::kSettingsApplyAll, options) &&
         host.Event(kEveryButtonWord);  // held into the tear-down
}

}  // namespace hidhost::testing
