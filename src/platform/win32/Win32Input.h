// Synthesized input, the cursor and the system's mouse settings.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class Win32Input final : public Input {
 public:
  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override;
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::uintptr_t GetMessageExtraInfo() override;
  bool GetCursorPos(Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;

  bool SetDoubleClickTime(std::uint32_t ms) override;
  // The system's answer: whether the buttons were swapped before the call.
  bool SwapMouseButton(bool swap) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam, const SpiArgument& pvParam,
                            std::uint32_t winIni) override;
};

}  // namespace hidhost::platform::win32
