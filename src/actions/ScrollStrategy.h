// How the window under the cursor is scrolled sideways, chosen by its class:
// some applications only react to their scroll bar's own messages, one only
// to clicks on the bar's ends, one only to arrow keys.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace hidhost::actions {

enum class ScrollStrategy : std::uint8_t {
  ScrollBarMessages,  // WM_HSCROLL to the scroll bar's parent, naming the bar
  EndClicks,          // primary clicks near one end of the scroll bar
  ArrowKeys,          // WM_KEYDOWN/WM_KEYUP of an arrow key to the target
  PlainMessage,       // WM_HSCROLL to the window under the cursor
};

ScrollStrategy StrategyForClass(const platform::ClassName& windowClass);

}  // namespace hidhost::actions
