// What a conformance case sets up or observes that the seam does not offer:
// windows of other programs, raw files and registry values, the passage of
// messages and time, and the driver's side of its device. One stage stands
// on the simulated desktop, one on the real system.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hidhost::conformance {

struct ForeignWindow {
  std::string_view className;  // a class of its own, or a system one ("ScrollBar")
  platform::Hwnd parent = platform::Hwnd::None;
  platform::Rect rect;      // screen coordinates
  std::uint32_t style = 0;  // besides the child and visible styles, which every one has
  std::string_view title;
};

// The system's mouse settings, read past the seam.
struct MouseSettings {
  std::int32_t mouse[3] = {0, 0, 0};
  std::uint32_t wheelLines = 0;
  std::int32_t speed = 0;
  std::uint32_t doubleClickMs = 0;
};

enum class DriverMode { Absent, Present, Refuses };

class Stage {
 public:
  virtual ~Stage() = default;
  virtual platform::Platform& Seam() = 0;

  // A visible window of another program, below the siblings added before it.
  virtual platform::Hwnd AddWindow(const ForeignWindow& window) = 0;
  // GetClassLongPtr's class style; none where that is not modelled.
  virtual std::optional<std::uint32_t> ClassStyle(platform::Hwnd hwnd) = 0;

  // Delivers the messages sent and posted to this thread's windows until
  // `done` holds; false when it never does.
  virtual bool DeliverUntil(const std::function<bool()>& done) = 0;
  // The window's timer ticks and its WM_TIMER is delivered until `done`.
  virtual bool AwaitTick(platform::Hwnd hwnd, std::uintptr_t id,
                         const std::function<bool()>& done) = 0;
  // Other threads run until they wait, while this one takes no message.
  virtual void LetOtherThreadsRun() = 0;
  virtual std::uint64_t NowUs() = 0;

  // A file of this name with exactly this text; its full path.
  virtual std::string WriteFile(std::string_view name, std::string_view text) = 0;
  virtual std::string PathOf(std::string_view name) = 0;  // no file made
  // Another program holds the file open with this sharing until Release.
  virtual int HoldFile(const std::string& path, std::uint32_t share) = 0;
  virtual void ReleaseFile(int hold) = 0;
  virtual std::string ExecutableName() = 0;  // the file name GetModuleFileName ends in
  virtual std::string StringLibraryPath() = 0;

  // Under HKEY_CURRENT_USER, the key made as needed; removed with the stage.
  virtual void PlantValue(std::string_view key, std::string_view name, std::uint32_t type,
                          std::span<const char> data) = 0;
  virtual std::optional<std::string> ReadValue(std::string_view key, std::string_view name) = 0;
  virtual std::string_view ScratchKey() = 0;

  virtual MouseSettings ReadMouseSettings() = 0;
  virtual void RestoreMouseSettings(const MouseSettings& settings) = 0;
  // The mapping's handle is inherited by child processes and anyone may open
  // it; none where that is not modelled.
  virtual std::optional<bool> OpenToEveryone(platform::Handle mapping) = 0;

  // The driver's side: Absent only before any other mode.
  virtual bool SetDriver(DriverMode mode) = 0;
  virtual void QueueDriverWord(std::uint32_t word) = 0;
  virtual std::optional<std::uint32_t> LastDriverMask() = 0;
};

}  // namespace hidhost::conformance
