// The simulated desktop: one world (windows, registry, files, named objects,
// the driver, a virtual clock) shared by simulated processes, each of which
// is a platform::Platform for the host's logic. Every call with an effect
// outside the host is written to the trace in the simulator's line format.
//
// Deterministic: Sleep advances the virtual clock and returns at once; the
// driver raises the semaphore only when a word is queued; WaitUntilIdle
// blocks until every simulated thread waits with nothing to take.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace hidhost::sim {

inline constexpr std::uintptr_t kDesktopWindow = 0x10000;
inline constexpr std::uintptr_t kFirstProcessWindow = 0x10001;
inline constexpr const char* kHostDirectory = "C:\\HidHost\\";
inline constexpr const char* kHostExecutable = "C:\\HidHost\\HidHost.exe";

struct WindowSpec {
  std::uintptr_t id = 0;
  std::string className;
  std::uintptr_t parent = 0;  // 0: top-level (a child of the desktop)
  platform::Rect rect;
  std::uint32_t style = 0;
  std::string title;
};

enum class DriverMode { Absent, Present, Refuses };

class SimProcess;

class SimDesktop {
 public:
  SimDesktop();  // backs C:\HidHost\ with a fresh temporary directory, removed at destruction
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // The world.
  void AddWindow(const WindowSpec& spec);
  void SetCursor(platform::Point point);
  void SetDriver(DriverMode mode);
  void HoldMutex(std::string_view name);  // a mutex that another process holds
  void FailCall(std::string_view win32Name, int times = -1);  // -1: every time
  void SetSwapButtons(bool swapped);
  void SetRegistryString(std::string_view keyUnderCurrentUser, std::string_view name,
                         std::string_view value);
  void LockRegistryKey(std::string_view keyUnderCurrentUser);
  void AppendConfigLine(std::string_view line);
  std::optional<std::string> ConfigFileText() const;  // nullopt when there is no config.ini
  std::filesystem::path HostDirectoryOnDisk() const;
  // The registry's string value, as the host left it.
  std::optional<std::string> RegistryString(std::string_view keyUnderCurrentUser,
                                            std::string_view name) const;

  // The driver.
  void QueueEvent(std::uint32_t word);  // queued, and the registered semaphore raised once
  std::optional<std::uint32_t> LastMask() const;
  bool DriverOpen() const;

  // The configuration program's side of the shared block (under its mutex).
  bool WriteSharedBlock(std::span<const std::uint8_t> bytes);
  std::optional<std::array<std::uint8_t, 116>> ReadSharedBlock() const;

  // Observation.
  std::vector<std::string> TakeTrace();
  void WaitUntilIdle();
  std::vector<std::string> HeldInput() const;  // synthesized keys and buttons still down
  std::uint64_t NowMs() const;                  // the virtual clock

  // A new process of the host's executable.
  SimProcess& StartProcess();

  struct World;

 private:
  std::unique_ptr<World> world_;
};

class SimProcess {
 public:
  virtual ~SimProcess() = default;
  virtual platform::Platform& Platform() = 0;

  // Delivers the messages posted to this process's windows until none is
  // left; true once the process has posted its quit message.
  virtual bool PumpMessages() = 0;
  virtual std::optional<int> QuitCode() const = 0;

  virtual bool HasTimer(platform::Hwnd hwnd, std::uintptr_t id) const = 0;
  // The next popup menu that opens returns with this item chosen (0: dismissed).
  virtual void ChooseMenuItem(std::uint32_t id) = 0;
  // Kernel objects, keys, modules, menus and devices this process still holds.
  virtual int OpenObjectCount() const = 0;
};

}  // namespace hidhost::sim
