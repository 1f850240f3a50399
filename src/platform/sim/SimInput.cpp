#include <algorithm>
#include <memory>

#include "platform/Constants.h"
#include "platform/sim/ScanCodes.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimInput final : public platform::Input, FacetBase {
 public:
  using FacetBase::FacetBase;
  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override;
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::uintptr_t GetMessageExtraInfo() override;
  bool GetCursorPos(platform::Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool SetDoubleClickTime(std::uint32_t ms) override;
  bool SwapMouseButton(bool swap) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                            const platform::SpiArgument& pvParam, std::uint32_t winIni) override;
};

namespace {

constexpr std::uint32_t kMouseMove = 0x0001;
constexpr std::int32_t kSmCxScreen = 0;
constexpr std::int32_t kSmCyScreen = 1;

struct ButtonFlags {
  std::uint32_t down;
  std::uint32_t up;
  const char* name;
};

constexpr ButtonFlags kButtons[] = {
    {platform::kMouseLeftDown, platform::kMouseLeftUp, "left"},
    {platform::kMouseRightDown, platform::kMouseRightUp, "right"},
    {platform::kMouseMiddleDown, platform::kMouseMiddleUp, "middle"},
};

const char* XButtonName(std::int32_t data) {
  if (data == platform::kXButton1) return "x1";
  if (data == platform::kXButton2) return "x2";
  return nullptr;
}

platform::Rect Screen(const World& world) {
  return world.windows.Find(kDesktopWindow)->rect;
}

platform::Point Clamped(const World& world, std::int32_t x, std::int32_t y) {
  const platform::Rect screen = Screen(world);
  return {std::clamp(x, screen.left, screen.right - 1),
          std::clamp(y, screen.top, screen.bottom - 1)};
}

}  // namespace

void SimInput::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                          std::uintptr_t /*extra*/) {
  Lock lock(world_.mutex);
  world_.Trace(trace::KeybdEventLine(vk, scan, flags));
  if (world_.Fails(Call::KeybdEvent)) return;
  if ((flags & platform::kKeyUp) != 0) {
    world_.input.keysDown.erase(vk);
  } else {
    world_.input.keysDown.insert(vk);
  }
}

void SimInput::MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                          std::uintptr_t extra) {
  Lock lock(world_.mutex);
  world_.Trace(trace::MouseEventLine(flags, dx, dy, data, extra));
  if (world_.Fails(Call::MouseEvent)) return;
  auto& input = world_.input;
  if ((flags & kMouseMove) != 0) {
    if ((flags & platform::kMouseAbsolute) != 0) {
      const platform::Rect screen = Screen(world_);
      input.cursor =
          Clamped(world_, static_cast<std::int32_t>(std::int64_t{dx} * screen.right / 65536),
                  static_cast<std::int32_t>(std::int64_t{dy} * screen.bottom / 65536));
    } else {
      input.cursor = Clamped(world_, input.cursor.x + dx, input.cursor.y + dy);
    }
  }
  for (const auto& button : kButtons) {
    if ((flags & button.down) != 0) input.buttonsDown.insert(button.name);
  }
  if (const char* x = XButtonName(data); x != nullptr && (flags & platform::kMouseXDown) != 0) {
    input.buttonsDown.insert(x);
  }
  for (const auto& button : kButtons) {
    if ((flags & button.up) != 0) input.buttonsDown.erase(button.name);
  }
  if (const char* x = XButtonName(data); x != nullptr && (flags & platform::kMouseXUp) != 0) {
    input.buttonsDown.erase(x);
  }
}

// No input message carries extra information here. The call cannot fail on
// Windows; failed here, it gives 0 all the same.
std::uintptr_t SimInput::GetMessageExtraInfo() {
  Lock lock(world_.mutex);
  world_.Fails(Call::GetMessageExtraInfo);
  return 0;
}

std::uint32_t SimInput::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::MapVirtualKey)) return 0;
  return mapType == platform::kMapVkToVsc ? ScanCodeOfVirtualKey(code) : 0;
}

bool SimInput::GetCursorPos(platform::Point& out) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetCursorPos)) return false;
  out = world_.input.cursor;
  return true;
}

bool SimInput::SetCursorPos(std::int32_t x, std::int32_t y) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetCursorPosLine(x, y));
  if (world_.Fails(Call::SetCursorPos)) return false;
  world_.input.cursor = Clamped(world_, x, y);
  return true;
}

std::int32_t SimInput::GetSystemMetrics(std::int32_t index) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetSystemMetrics)) return 0;
  const platform::Rect screen = Screen(world_);
  switch (index) {
    case platform::kSmSwapButton:
      return world_.input.swapped ? 1 : 0;
    case kSmCxScreen:
      return screen.right - screen.left;
    case kSmCyScreen:
      return screen.bottom - screen.top;
    default:
      return 0;
  }
}

bool SimInput::SetDoubleClickTime(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetDoubleClickTimeLine(ms));
  if (world_.Fails(Call::SetDoubleClickTime)) return false;
  world_.input.doubleClickTime = ms == 0 ? 500 : ms;  // 0 restores the system's default
  return true;
}

bool SimInput::SwapMouseButton(bool swap) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SwapMouseButtonLine(swap));
  if (world_.Fails(Call::SwapMouseButton)) return false;
  return std::exchange(world_.input.swapped, swap);  // the state before the call
}

bool SimInput::SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                                    const platform::SpiArgument& pvParam, std::uint32_t winIni) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SystemParametersInfoLine(action, uiParam, pvParam, winIni));
  if (world_.Fails(Call::SystemParametersInfo)) return false;
  world_.input.systemParameters[action] = {uiParam, pvParam, winIni};
  if (action == platform::kSpiSetMouseButtonSwap) world_.input.swapped = uiParam != 0;
  return true;
}

std::unique_ptr<platform::Input> MakeSimInput(World& world, SimProcessImpl& process) {
  return std::make_unique<SimInput>(world, process);
}

}  // namespace hidhost::sim
