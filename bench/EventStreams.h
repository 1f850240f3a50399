// Word streams as the driver delivers them in use, each with the button
// assignments it is played against, and the window layouts the scroll
// actions search. Shared by the null-platform and simulator benchmarks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Constants.h"
#include "platform/Types.h"
#include "settings/MouseSettings.h"

namespace hidhost::bench {

// Word parts: byte 0 the buttons down, byte 2 the tilt.
inline constexpr std::uint32_t kLeft = 0x01;
inline constexpr std::uint32_t kRight = 0x02;
inline constexpr std::uint32_t kMiddle = 0x04;
inline constexpr std::uint32_t kSide1 = 0x08;
inline constexpr std::uint32_t kSide2 = 0x10;
inline constexpr std::uint32_t kTiltLeft = 0x00FF0000;
inline constexpr std::uint32_t kTiltRight = 0x00010000;

struct EventStream {
  std::string_view name;
  std::vector<std::uint32_t> words;
  settings::MouseSettings settings;
};

inline settings::MouseSettings DefaultSettings() {
  settings::MouseSettings record{};
  settings::SetDefaultSettings(record);
  return record;
}

inline settings::ButtonAssignment Assign(int index, std::uint8_t code, std::uint8_t modifier = 0,
                                         std::uint8_t usage = 0) {
  return {static_cast<std::uint8_t>(index + 1), code, modifier, usage};
}

// Codes and key choices the configuration program offers.
inline constexpr std::uint8_t kCodeKeyCombination = 5;
inline constexpr std::uint8_t kCodeCopy = 65;
inline constexpr std::uint8_t kCodePaste = 66;
inline constexpr std::uint8_t kModifierCtrl = 1;
inline constexpr std::uint8_t kModifierAlt = 3;
inline constexpr std::uint8_t kUsageZ = 29;
inline constexpr std::uint8_t kUsageF4 = 61;

// The five buttons with their own functions: the host only follows their
// flags, as the driver passes their input through. Clicks, a held left
// button with right clicks, a middle click and both side buttons.
inline EventStream NativeButtons() {
  return {"native_buttons",
          {kLeft, 0, kLeft, 0, kRight, 0, kLeft, kLeft | kRight, kLeft, kLeft | kRight, kLeft, 0,
           kMiddle, 0, kSide1, 0, kSide2, 0},
          DefaultSettings()};
}

// Both side buttons as key combinations (Ctrl+Z, Alt+F4), acting on release.
inline EventStream KeyCombinations() {
  settings::MouseSettings record = DefaultSettings();
  record.ButtonInfo[3] = Assign(3, kCodeKeyCombination, kModifierCtrl, kUsageZ);
  record.ButtonInfo[4] = Assign(4, kCodeKeyCombination, kModifierAlt, kUsageF4);
  return {"key_combinations", {kSide1, 0, kSide2, 0}, record};
}

// Wheel tilt left and right: every word is one whole horizontal scroll step
// over the document view of BuildDocumentView.
inline EventStream Tilts() {
  return {"tilts", {kTiltLeft, kTiltRight}, DefaultSettings()};
}

// A working session: mostly native clicks, side buttons as copy and paste,
// now and then a tilt.
inline EventStream Mixed() {
  settings::MouseSettings record = DefaultSettings();
  record.ButtonInfo[3] = Assign(3, kCodeCopy);
  record.ButtonInfo[4] = Assign(4, kCodePaste);
  return {"mixed",
          {kLeft, 0, kLeft,  0, kRight,    0,          kLeft, 0, kSide1, 0,
           kLeft, 0, kSide2, 0, kTiltLeft, kTiltRight, kLeft, 0, kRight, 0},
          record};
}

inline constexpr int kStreamCount = 4;

inline std::vector<EventStream> AllStreams() {
  return {NativeButtons(), KeyCombinations(), Tilts(), Mixed()};
}

// One window as a benchmark lays it out; parent is a position in the same
// layout, or -1 for a top-level window.
struct WindowRow {
  std::string_view className;
  int parent;
  platform::Rect rect;
  std::uint32_t style;
};

inline constexpr platform::Point kDocumentCursor{400, 300};

// A word processor's frame: the document view under the cursor, its
// horizontal scroll bar as the next sibling, then a vertical one.
inline constexpr std::array<WindowRow, 4> kDocumentView = {{
    {"OpusApp", -1, {0, 0, 1000, 820}, 0},
    {"_WwG", 0, {0, 0, 980, 800}, 0},
    {"ScrollBar", 0, {0, 800, 980, 820}, 0},
    {"ScrollBar", 0, {980, 0, 1000, 800}, platform::kSbsVert},
}};

// Sibling windows for the search-growth benchmarks: a frame with `count`
// children, the one under the cursor in the middle of the z-order so that
// the search walks both ways. With a horizontal scroll bar on top of the
// z-order, the backward walk finds it as the last sibling it visits; without
// one, both searches visit every sibling and find nothing.
struct SiblingLayout {
  std::vector<WindowRow> rows;
  std::size_t underCursor;       // position in rows
  std::uint64_t windowsVisited;  // siblings the whole step walks
};

inline constexpr platform::Point kSiblingCursor{500, 400};

inline SiblingLayout ManySiblings(std::size_t count, bool withScrollBar) {
  SiblingLayout layout;
  layout.rows.reserve(count + 1);
  layout.rows.push_back({"Frame", -1, {0, 0, 1920, 1080}, 0});
  const std::size_t middle = count / 2;
  for (std::size_t i = 0; i < count; ++i) {
    if (i == 0 && withScrollBar) {
      layout.rows.push_back({"ScrollBar", 0, {0, 1000, 1000, 1020}, 0});
    } else if (i == middle) {
      layout.underCursor = layout.rows.size();
      layout.rows.push_back({"_WwG", 0, {0, 0, 1000, 1000}, 0});
    } else {
      layout.rows.push_back({"Static", 0, {1900, 1060, 1910, 1070}, 0});
    }
  }
  // Horizontal search: forward then backward from the middle. Without a
  // bar the vertical search walks the same siblings once more.
  const std::uint64_t siblings = count - 1;
  layout.windowsVisited = withScrollBar ? siblings : 2 * siblings;
  return layout;
}

// Adds the rows in order through add(row, parentHandle); gives each row's handle.
template <typename Add>
std::vector<platform::Hwnd> AddLayout(std::span<const WindowRow> rows, Add add) {
  std::vector<platform::Hwnd> handles;
  handles.reserve(rows.size());
  for (const WindowRow& row : rows) {
    const platform::Hwnd parent =
        row.parent < 0 ? platform::Hwnd::None : handles[static_cast<std::size_t>(row.parent)];
    handles.push_back(add(row, parent));
  }
  return handles;
}

}  // namespace hidhost::bench
