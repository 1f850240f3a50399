#include "actions/HorizontalScroll.h"

#include "actions/ScrollStrategy.h"
#include "actions/ScrollTargetFinder.h"
#include "actions/WindowClasses.h"
#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

using platform::Hwnd;
using platform::LParam;

// More repeats than this per step only flood the target's queue; the
// configuration program never offers them.
constexpr std::int32_t kMaximumRepeatCount = 100;
// How far inside the scroll bar's end (and below its top) the end clicks land.
constexpr std::int32_t kEndClickInset = 5;

// Keystroke-message lParams of the arrow keys: repeat 1, the key's scan
// code, extended; the key-up form adds the previous-state and transition bits.
constexpr LParam kLeftDown = 0x014B0001;
constexpr LParam kLeftUp = static_cast<LParam>(0xC14B0001u);
constexpr LParam kRightDown = 0x014D0001;
constexpr LParam kRightUp = static_cast<LParam>(0xC14D0001u);

struct ScrollStep {
  platform::Platform& platform;
  bool left;               // the direction: n > 0
  std::int64_t rounds;     // |n|
  std::int32_t repeats;    // the repeat count C, at most kMaximumRepeatCount
  platform::Point cursor;  // P, where the cursor was at the start
  Hwnd underCursor;        // W
  Hwnd target;             // H
};

std::int32_t RepeatCount(const settings::LiveSettings& settings) {
  const std::int32_t count = settings.Get(settings::Field::HScrollWheelSpeed);
  return count > kMaximumRepeatCount ? kMaximumRepeatCount : count;
}

platform::WParam LineCommand(bool left) {
  return left ? platform::kSbLineLeft : platform::kSbLineRight;
}

template <typename Send>
void Repeat(const ScrollStep& step, Send send) {
  for (std::int64_t round = 0; round < step.rounds; ++round) {
    for (std::int32_t i = 0; i < step.repeats; ++i) send();
  }
}

void SendScrollBarMessages(const ScrollStep& step) {
  platform::Windows& windows = step.platform.windows;
  // A top-level target has no parent to scroll: a post to no window would
  // become a thread message that nobody reads.
  const Hwnd owner = windows.GetParent(step.target);
  if (!platform::IsSet(owner)) return;
  const auto bar = static_cast<LParam>(platform::ValueOf(step.target));
  Repeat(step,
         [&] { windows.PostMessage(owner, platform::kWmHScroll, LineCommand(step.left), bar); });
}

void SendArrowKeys(const ScrollStep& step) {
  platform::Windows& windows = step.platform.windows;
  const platform::WParam key = step.left ? platform::kVkLeft : platform::kVkRight;
  Repeat(step, [&] {
    windows.PostMessage(step.target, platform::kWmKeyDown, key, step.left ? kLeftDown : kRightDown);
    windows.PostMessage(step.target, platform::kWmKeyUp, key, step.left ? kLeftUp : kRightUp);
  });
}

void SendPlainMessages(const ScrollStep& step) {
  platform::Windows& windows = step.platform.windows;
  Repeat(step, [&] {
    windows.PostMessage(step.underCursor, platform::kWmHScroll, LineCommand(step.left), 0);
  });
}

// The application only scrolls for a click on the bar's arrow: click it where
// the arrow is, then give the user the cursor back where it was.
void SendEndClicks(const ScrollStep& step) {
  platform::Input& input = step.platform.input;
  platform::Rect bar;
  step.platform.windows.GetWindowRect(step.target, bar);
  const platform::Point at{step.left ? bar.left + kEndClickInset : bar.right - kEndClickInset,
                           bar.top + kEndClickInset};
  input.SetCursorPos(at.x, at.y);
  const bool swapped = input.GetSystemMetrics(platform::kSmSwapButton) != 0;
  const std::uint32_t down =
      platform::kMouseAbsolute | (swapped ? platform::kMouseRightDown : platform::kMouseLeftDown);
  const std::uint32_t up =
      platform::kMouseAbsolute | (swapped ? platform::kMouseRightUp : platform::kMouseLeftUp);
  for (std::int32_t i = 0; i < step.repeats; ++i) {
    input.MouseEvent(down, at.x, at.y, 0, 0);
    input.MouseEvent(up, at.x, at.y, 0, 0);
  }
  input.SetCursorPos(step.cursor.x, step.cursor.y);
}

void SendByStrategy(ScrollStrategy strategy, const ScrollStep& step) {
  switch (strategy) {
    case ScrollStrategy::ScrollBarMessages:
      return SendScrollBarMessages(step);
    case ScrollStrategy::EndClicks:
      return SendEndClicks(step);
    case ScrollStrategy::ArrowKeys:
      return SendArrowKeys(step);
    case ScrollStrategy::PlainMessage:
      return SendPlainMessages(step);
  }
}

// Nothing under the cursor scrolls in any direction: a vertical notch at
// least moves something.
void SendWheelNotch(platform::Platform& platform, bool left) {
  platform.input.MouseEvent(platform::kMouseAbsolute | platform::kMouseWheel, 0, 0,
                            left ? platform::kWheelDelta : -platform::kWheelDelta, 0);
}

}  // namespace

void ScrollHorizontally(platform::Platform& platform, const settings::LiveSettings& settings,
                        std::int32_t n) {
  if (n == 0) return;
  platform::Windows& windows = platform.windows;
  platform::Point cursor;
  // Without the cursor's position the step would search, click and put the
  // cursor back at the screen's corner, and scroll whatever lies there.
  if (!platform.input.GetCursorPos(cursor)) return;
  const Hwnd underCursor = windows.WindowFromPoint(cursor);
  const platform::ClassName underCursorClass = ClassOf(windows, underCursor);

  // The desktop and its icon list scroll nothing, and a wheel notch there
  // would reach whatever has the focus instead.
  if (underCursorClass.Is(window_class::kListView) && HasProgmanAncestor(windows, underCursor)) {
    return;
  }
  if (underCursor == windows.GetDesktopWindow()) return;

  const ScrollStrategy strategy = StrategyForClass(underCursorClass);
  const std::int32_t repeats = RepeatCount(settings);
  ScrollTargetFinder finder(platform);
  finder.SetCursorPoint(cursor.x, cursor.y);

  const Hwnd target = finder.FindHorizontalTarget(underCursor);
  if (!platform::IsSet(target)) {
    // Only a window that scrolls vertically alone is left alone.
    if (!platform::IsSet(finder.FindVerticalTarget(underCursor))) SendWheelNotch(platform, n > 0);
    return;
  }
  const std::int64_t rounds = n > 0 ? std::int64_t{n} : -std::int64_t{n};
  SendByStrategy(strategy, {platform, n > 0, rounds, repeats, cursor, underCursor, target});
}

}  // namespace hidhost::actions
