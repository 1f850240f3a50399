#include "actions/ScrollTargetFinder.h"

#include "actions/WindowClasses.h"
#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

using platform::ClassName;
using platform::Hwnd;
using platform::IsSet;
namespace wc = window_class;

// How far, horizontally, a scroll bar found by enumeration may stick out
// beyond the window it belongs to.
constexpr std::int64_t kFallbackSlack = 25;

bool IsScrollBarControl(const ClassName& windowClass) {
  return windowClass.Is(wc::kScrollBar) || windowClass.Is(wc::kNuiScrollBar);
}

std::int64_t Width(const platform::Rect& r) {
  return std::int64_t{r.right} - r.left;
}
std::int64_t Height(const platform::Rect& r) {
  return std::int64_t{r.bottom} - r.top;
}

std::uint32_t StyleOf(platform::Windows& windows, Hwnd hwnd) {
  return static_cast<std::uint32_t>(windows.GetWindowLong(hwnd, platform::kGwlStyle));
}

}  // namespace

Hwnd ScrollTargetFinder::FindHorizontalTarget(Hwnd underCursor) {
  Probe probe;
  const Hwnd target = SearchAround(underCursor, ScrollDirection::Horizontal, probe);
  if (IsSet(target) || !IsSet(probe.probed)) return target;
  // These views keep their scroll bars beside them rather than as their own children.
  if (probe.probedClass.Is(wc::kPaneDc) || probe.probedClass.Is(wc::kVisio)) {
    return SearchNearbyScrollBars(probe.probed);
  }
  return Hwnd::None;
}

Hwnd ScrollTargetFinder::FindVerticalTarget(Hwnd underCursor) {
  Probe probe;
  return SearchAround(underCursor, ScrollDirection::Vertical, probe);
}

Hwnd ScrollTargetFinder::SearchAround(Hwnd underCursor, ScrollDirection direction, Probe& probe) {
  if (!IsScrollCandidate(underCursor)) return Hwnd::None;

  platform::Point point;
  if (!platform_.input.GetCursorPos(point)) point = cursor_;
  platform_.windows.ScreenToClient(underCursor, point);
  Hwnd probed = platform_.windows.ChildWindowFromPoint(underCursor, point);
  if (!IsSet(probed)) probed = underCursor;
  probe.probed = probed;
  probe.probedClass = ClassOf(platform_.windows, probed);
  const ClassName& probedClass = probe.probedClass;

  Hwnd result = IsScrollable(probed, probedClass, direction) ? probed : Hwnd::None;
  // The browser's content windows do not scroll themselves; their parent does.
  if (probedClass.Is(wc::kMozilla)) result = platform_.windows.GetParent(probed);
  if (probedClass.Is(wc::kScrollBar)) return result;
  if (!IsSet(result)) result = WalkFirstChild(probed, direction);
  if (!IsSet(result)) result = WalkSiblings(probed, direction);
  return result;
}

Hwnd ScrollTargetFinder::SearchNearbyScrollBars(Hwnd probed) {
  reference_ = {};
  platform_.windows.GetWindowRect(probed, reference_);
  found_ = Hwnd::None;
  platform_.windows.EnumChildWindows(platform_.windows.GetParent(probed), &OnEnumeratedWindow,
                                     this);
  return found_;
}

bool ScrollTargetFinder::OnEnumeratedWindow(Hwnd child, void* context) {
  auto& finder = *static_cast<ScrollTargetFinder*>(context);
  platform::Windows& windows = finder.platform_.windows;
  const ClassName windowClass = ClassOf(windows, child);
  if (!IsScrollBarControl(windowClass)) return true;
  if (!finder.IsScrollable(child, windowClass, ScrollDirection::Horizontal)) return true;
  platform::Rect bar;
  if (!windows.GetWindowRect(child, bar)) return true;
  const platform::Rect& ref = finder.reference_;
  if (bar.left < ref.left - kFallbackSlack || bar.right > ref.right + kFallbackSlack) return true;
  finder.found_ = child;
  return false;
}

bool ScrollTargetFinder::IsScrollable(Hwnd hwnd, ScrollDirection direction) {
  return IsScrollable(hwnd, ClassOf(platform_.windows, hwnd), direction);
}

bool ScrollTargetFinder::IsScrollable(Hwnd hwnd, const ClassName& windowClass,
                                      ScrollDirection direction) {
  if (!IsSet(hwnd)) return false;
  // The embedded browser scrolls whatever its scroll bars say.
  if (windowClass.Is(wc::kBrowserContent)) return true;
  if (IsScrollBarControl(windowClass)) return IsScrollBarControlScrollable(hwnd, direction);
  const std::uint32_t bit =
      direction == ScrollDirection::Horizontal ? platform::kWsHScroll : platform::kWsVScroll;
  return (StyleOf(platform_.windows, hwnd) & bit) != 0;
}

// A bar counts when it lies along the direction and is beside the cursor.
bool ScrollTargetFinder::IsScrollBarControlScrollable(Hwnd hwnd, ScrollDirection direction) {
  platform::Rect r;
  if (!platform_.windows.GetWindowRect(hwnd, r)) return false;
  if (direction == ScrollDirection::Horizontal) {
    return Width(r) > Height(r) && cursor_.x < r.right;
  }
  return Height(r) > Width(r) && r.top < cursor_.y && cursor_.y < r.bottom;
}

bool ScrollTargetFinder::IsScrollCandidate(Hwnd hwnd) {
  if (!IsSet(hwnd)) return false;
  if (hwnd == platform_.windows.GetDesktopWindow()) return false;
  return !(ClassOf(platform_.windows, hwnd).Is(wc::kListView) &&
           HasProgmanAncestor(platform_.windows, hwnd));
}

Hwnd ScrollTargetFinder::WalkFirstChild(Hwnd hwnd, ScrollDirection direction) {
  if (!IsSet(hwnd)) return Hwnd::None;
  const Hwnd child = platform_.windows.GetWindow(hwnd, platform::kGwChild);
  if (!IsSet(child)) return Hwnd::None;
  if (IsScrollable(child, direction)) return child;
  return WalkSiblings(child, direction);
}

Hwnd ScrollTargetFinder::WalkSiblings(Hwnd hwnd, ScrollDirection direction) {
  if (!IsSet(hwnd)) return Hwnd::None;
  const Hwnd forward = WalkForward(hwnd, direction);
  return IsSet(forward) ? forward : WalkBackward(hwnd, direction);
}

// Below the window in z-order: scroll bars of either kind, no descent.
Hwnd ScrollTargetFinder::WalkForward(Hwnd hwnd, ScrollDirection direction) {
  platform::Windows& windows = platform_.windows;
  for (Hwnd s = windows.GetWindow(hwnd, platform::kGwHwndNext); IsSet(s);
       s = windows.GetWindow(s, platform::kGwHwndNext)) {
    const ClassName windowClass = ClassOf(windows, s);
    if (windowClass.Is(wc::kScrollBarContainer)) {
      const Hwnd bar = ContainedScrollBar(s, direction);
      if (IsSet(bar)) return bar;
      continue;
    }
    if (IsScrollBarControl(windowClass) && IsScrollable(s, windowClass, direction)) return s;
  }
  return Hwnd::None;
}

// Above the window in z-order: only plain scroll bars, but the framework's
// generic frames are searched through, as their scroll bars sit inside them.
Hwnd ScrollTargetFinder::WalkBackward(Hwnd hwnd, ScrollDirection direction) {
  platform::Windows& windows = platform_.windows;
  for (Hwnd s = windows.GetWindow(hwnd, platform::kGwHwndPrev); IsSet(s);
       s = windows.GetWindow(s, platform::kGwHwndPrev)) {
    const ClassName windowClass = ClassOf(windows, s);
    if (windowClass.Is(wc::kScrollBarContainer)) {
      const Hwnd bar = ContainedScrollBar(s, direction);
      if (IsSet(bar)) return bar;
      continue;
    }
    if (windowClass.Is(wc::kScrollBar) && IsScrollable(s, windowClass, direction)) return s;
    if (windowClass.Is(wc::kAfx70) || windowClass.Is(wc::kAfx42)) {
      const Hwnd inside = WalkFirstChild(s, direction);
      if (IsSet(inside)) return inside;
    }
  }
  return Hwnd::None;
}

// The container's first child, when it is a scroll bar lying along the direction.
Hwnd ScrollTargetFinder::ContainedScrollBar(Hwnd container, ScrollDirection direction) {
  platform::Windows& windows = platform_.windows;
  const Hwnd child = windows.GetWindow(container, platform::kGwChild);
  if (!IsSet(child) || !ClassOf(windows, child).Is(wc::kScrollBar)) return Hwnd::None;
  const std::uint32_t style = StyleOf(windows, child);
  const bool vertical = (style & platform::kSbsVert) != 0;
  const bool sizeBox = (style & platform::kSbsSizeBox) != 0;
  const bool matches = direction == ScrollDirection::Horizontal ? !vertical && !sizeBox : vertical;
  return matches ? child : Hwnd::None;
}

}  // namespace hidhost::actions
