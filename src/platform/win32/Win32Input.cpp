#include <memory>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// Synthesized input, the cursor and the system's mouse settings.
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

void Win32Input::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                            std::uintptr_t extra) {
  ::keybd_event(vk, scan, flags, extra);
}

void Win32Input::MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy,
                            std::int32_t data, std::uintptr_t extra) {
  // Relative moves and wheel turns are signed; the call takes them as DWORDs.
  ::mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), static_cast<DWORD>(data),
                extra);
}

std::uint32_t Win32Input::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
  return ::MapVirtualKeyA(code, mapType);
}

std::uintptr_t Win32Input::GetMessageExtraInfo() {
  return static_cast<std::uintptr_t>(::GetMessageExtraInfo());
}

bool Win32Input::GetCursorPos(Point& out) {
  POINT point{};
  if (!::GetCursorPos(&point)) return false;
  out = FromPoint(point);
  return true;
}

bool Win32Input::SetCursorPos(std::int32_t x, std::int32_t y) {
  return ::SetCursorPos(x, y);
}

std::int32_t Win32Input::GetSystemMetrics(std::int32_t index) {
  return ::GetSystemMetrics(index);
}

bool Win32Input::SetDoubleClickTime(std::uint32_t ms) {
  return ::SetDoubleClickTime(ms);
}

bool Win32Input::SwapMouseButton(bool swap) {
  return ::SwapMouseButton(swap);
}

bool Win32Input::SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                                      const SpiArgument& pvParam, std::uint32_t winIni) {
  // Some actions take their value in pvParam itself rather than behind it
  // (SPI_SETMOUSESPEED), others an array of three integers (SPI_SETMOUSE).
  int triple[3] = {pvParam.values[0], pvParam.values[1], pvParam.values[2]};
  PVOID argument = nullptr;
  switch (pvParam.kind) {
    case SpiArgument::Kind::Null:
      break;
    case SpiArgument::Kind::Value:
      argument = reinterpret_cast<PVOID>(static_cast<std::intptr_t>(pvParam.values[0]));
      break;
    case SpiArgument::Kind::Triple:
      argument = triple;
      break;
  }
  return ::SystemParametersInfoA(action, uiParam, argument, winIni);
}

std::unique_ptr<Input> MakeInput() {
  return std::make_unique<Win32Input>();
}

}  // namespace hidhost::platform::win32
