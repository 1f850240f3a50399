// Finds what under the cursor can scroll: a window with a scroll bar of its
// own, a scroll-bar control beside it, or a scroll bar inside a known
// container. One finder serves one scroll step and is then thrown away.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace hidhost::actions {

enum class ScrollDirection : std::uint8_t { Horizontal = 1, Vertical = 2 };

class ScrollTargetFinder {
 public:
  explicit ScrollTargetFinder(platform::Platform& platform) : platform_(platform) {}

  void SetCursorPoint(std::int32_t x, std::int32_t y) { cursor_ = {x, y}; }

  platform::Hwnd FindHorizontalTarget(platform::Hwnd underCursor);
  platform::Hwnd FindVerticalTarget(platform::Hwnd underCursor);

  bool IsScrollable(platform::Hwnd hwnd, ScrollDirection direction);
  platform::Hwnd WalkFirstChild(platform::Hwnd hwnd, ScrollDirection direction);
  platform::Hwnd WalkSiblings(platform::Hwnd hwnd, ScrollDirection direction);
  bool IsScrollCandidate(platform::Hwnd hwnd);

  // EnumChildWindows callback of the fallback search; context is the finder.
  static bool OnEnumeratedWindow(platform::Hwnd child, void* context);

 private:
  struct Probe {
    platform::Hwnd probed = platform::Hwnd::None;  // the window at the cursor inside the target
    platform::ClassName probedClass;
  };

  platform::Hwnd SearchAround(platform::Hwnd underCursor, ScrollDirection direction, Probe& probe);
  platform::Hwnd SearchNearbyScrollBars(platform::Hwnd probed);
  bool IsScrollable(platform::Hwnd hwnd, const platform::ClassName& windowClass,
                    ScrollDirection direction);
  bool IsScrollBarControlScrollable(platform::Hwnd hwnd, ScrollDirection direction);
  platform::Hwnd ContainedScrollBar(platform::Hwnd container, ScrollDirection direction);
  platform::Hwnd WalkForward(platform::Hwnd hwnd, ScrollDirection direction);
  platform::Hwnd WalkBackward(platform::Hwnd hwnd, ScrollDirection direction);

  platform::Platform& platform_;
  platform::Point cursor_;
  // State of the fallback search: the probed window's rectangle and the bar found.
  platform::Rect reference_;
  platform::Hwnd found_ = platform::Hwnd::None;
};

}  // namespace hidhost::actions
