// The simulated desktop: one world (windows, registry, files, named objects,
// the driver, a virtual clock) shared by simulated processes, each of which
// is a platform::Platform for the host's logic. Every call with an effect
// outside the host is written to the trace in the simulator's line format.
//
// Deterministic: Sleep advances the virtual clock and returns at once; the
// driver raises the semaphore only when a word is queued; WaitUntilIdle
// blocks until every simulated thread waits with nothing to take. A wait
// with a time-out ends only once every other simulated thread is stuck, and
// then times out in virtual time.
//
// Every member may be called from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "contracts/ConfigurationProtocol.h"
#include "platform/Platform.h"
#include "platform/sim/DriverModel.h"
#include "platform/sim/FaultTable.h"

namespace hidhost::sim {

inline constexpr std::uintptr_t kDesktopWindow = 0x10000;
inline constexpr std::uintptr_t kFirstProcessWindow = 0x10001;
inline constexpr const char* kHostDirectory = "C:\\HidHost\\";
inline constexpr const char* kHostExecutable = "C:\\HidHost\\HidHost.exe";
inline constexpr const char* kConfigPath = "C:\\HidHost\\config.ini";
inline constexpr const char* kStringLibraryPath = "C:\\HidHost\\lan.dll";
inline constexpr const char* kSessionLibraryName = "wtsapi32.dll";
inline constexpr std::size_t kSharedBlockSize = 116;
using contracts::kSharedBlockName;
using contracts::kSharedMutexName;

enum class SharedWrite { Written, NoBlock, MutexKept };

struct WindowSpec {
  std::uintptr_t id = 0;
  std::string className;
  std::uintptr_t parent = 0;  // 0: top-level (a child of the desktop)
  platform::Rect rect;
  std::uint32_t style = 0;  // WS_MINIMIZE (0x20000000) makes IsIconic true
  std::string title;
};

struct MenuItemRecord {
  std::uint32_t flags = 0;
  std::uintptr_t id = 0;
  std::optional<std::string> text;  // none for a separator
  bool isDefault = false;
  friend bool operator==(const MenuItemRecord&, const MenuItemRecord&) = default;
};

struct SystemParameterRecord {
  std::uint32_t uiParam = 0;
  platform::SpiArgument pvParam;
  std::uint32_t winIni = 0;
};

struct RegistryData {
  std::uint32_t type = 0;
  std::vector<char> data;
};

class SimProcess;
class World;

class SimDesktop {
 public:
  SimDesktop();  // backs drive C: with a fresh temporary directory, removed at destruction
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // The world.
  // False when the id is taken (0x10000 and 0x10001 are) or the parent unknown.
  bool AddWindow(const WindowSpec& shape);
  void SetCursor(platform::Point point);
  void SetDriver(DriverMode mode);
  // A mutex that another process holds; with denied, one in another security
  // context, which CreateMutexA cannot open.
  void HoldMutex(std::string_view name, bool denied = false);
  // The call named by its Win32 name fails the next `times` calls (-1: every
  // call from now on). False for a name the simulator does not model.
  bool FailCall(std::string_view win32Name, int times = -1);
  // How often each platform call was made, by every process of the desktop.
  const CallCounts& Calls() const;
  void SetSwapButtons(bool swapped);
  // Shell_NotifyIconA made on a thread other than the icon window's takes this
  // long; the window's running timers tick on its own thread meanwhile.
  void SetNotifyIconDelay(std::uint32_t ms);
  // The next input's thread (other than a main thread) stops inside its
  // `calls`-th call from now, once the call's line is written (0: before its
  // next call), until Resume; Resume with a count stops it again later.
  void PauseAfter(std::uint32_t calls);
  void Resume(std::optional<std::uint32_t> pauseAfter);
  // A REG_SZ value with its terminating zero, the key created as needed.
  void SetRegistryString(std::string_view keyUnderCurrentUser, std::string_view name,
                         std::string_view value);
  // Any type and any length, stored as given.
  void SetRegistryValue(std::string_view keyUnderCurrentUser, std::string_view name,
                        std::uint32_t type, std::span<const char> data);
  void LockRegistryKey(std::string_view keyUnderCurrentUser);
  void AppendConfigLine(std::string_view line);  // ends it with CR LF
  // Another program opens the file (a Windows path on C:) with this sharing;
  // 0 when the path is not on C:. Release with ReleaseFile.
  int HoldFileOpen(std::string_view windowsPath, std::uint32_t share = 0);
  void ReleaseFile(int hold);
  // Libraries by full path, or by file name for system ones ("wtsapi32.dll").
  void SetLibraryPresent(std::string_view path, bool present);
  void SetLibraryString(std::string_view path, std::uint32_t id, std::string_view text);
  // The next popup menu that opens returns with this item chosen (0: dismissed).
  void ChooseMenuItem(std::uint32_t id);

  // Observation.
  std::optional<std::string> ConfigFileText() const;  // nullopt when there is no config.ini
  std::filesystem::path HostDirectoryOnDisk() const;
  // The registry's string value (up to its first zero), as the host left it.
  std::optional<std::string> RegistryString(std::string_view keyUnderCurrentUser,
                                            std::string_view name) const;
  std::optional<RegistryData> RegistryValue(std::string_view keyUnderCurrentUser,
                                            std::string_view name) const;
  bool TrayIconPresent() const;
  std::vector<MenuItemRecord> LastMenu() const;  // the items of the last menu tracked
  std::optional<SystemParameterRecord> LastSystemParameter(std::uint32_t action) const;
  std::optional<std::uint32_t> DoubleClickTime() const;
  bool ButtonsSwapped() const;
  platform::Point Cursor() const;
  std::vector<std::string> LaunchedPrograms() const;  // ShellExecuteA files, in order
  int LiveThreadCount() const;                        // simulated threads not yet ended

  // The driver.
  void QueueEvent(std::uint32_t word);  // queued, and the registered semaphore raised once
  // While held, the host's event reads do not complete (a hung driver).
  void HoldDriverReads(bool held);
  std::optional<std::uint32_t> LastMask() const;
  bool DriverOpen() const;
  bool DriverRegistered() const;

  // The configuration program's side of the shared block: it writes under
  // the block's mutex, waiting while a thread of the host holds it. When
  // nothing can release it any more (every thread settled, no main thread
  // running), it gives up: MutexKept.
  SharedWrite WriteSharedBlock(std::span<const std::uint8_t> bytes);
  std::optional<std::array<std::uint8_t, kSharedBlockSize>> ReadSharedBlock() const;

  // The trace and time.
  std::vector<std::string> TakeTrace();
  void AppendTrace(std::string line);
  void WaitUntilIdle();
  // Synthesized keys and buttons still down: "key 0x11", "button left" ("right",
  // "middle", "x1", "x2"), in that order of kinds.
  std::vector<std::string> HeldInput() const;
  std::uint64_t NowMs() const;  // the virtual clock
  std::uint64_t NowUs() const;

  // A new process of the host's executable.
  SimProcess& StartProcess();

 private:
  std::shared_ptr<World> world_;
};

class SimProcess {
 public:
  virtual ~SimProcess() = default;
  virtual platform::Platform& Platform() = 0;

  // Starts the process's main thread, as the system starts an executable:
  // `main` runs on it and the process ends with the code it returns. The
  // thread's message loop (Windows::RunMessageLoop) takes messages only when
  // the caller hands it a turn through PumpMessages or SendToWindow, so that
  // the caller still decides when messages arrive, as a scenario needs.
  // Returns once the thread first waits in its loop, or has ended.
  virtual void RunMainThread(std::function<int()> main) = 0;

  // Delivers the messages sent from other threads and posted to this
  // process's windows until none is left: on the main thread when there is
  // one, else on the calling thread. True once the process has posted its
  // quit message (with a main thread: once it has also ended).
  virtual bool PumpMessages() = 0;
  virtual bool HasPendingMessages() const = 0;
  virtual std::optional<int> QuitCode() const = 0;

  // A message from another program, handled on the window's thread (send;
  // the calling thread when that is the window's) or queued (post); neither
  // is traced.
  virtual platform::LResult SendToWindow(platform::Hwnd hwnd, std::uint32_t message,
                                         platform::WParam wParam, platform::LParam lParam) = 0;
  virtual bool PostToWindow(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) = 0;

  virtual bool HasTimer(platform::Hwnd hwnd, std::uintptr_t id) const = 0;
  // When the window has that timer running: moves the virtual clock on to the
  // timer's next tick (the first system tick at or after its period since it
  // was set or last fired), counts that tick as fired and gives true. The
  // caller then delivers the WM_TIMER.
  virtual bool AdvanceToTimerTick(platform::Hwnd hwnd, std::uintptr_t id) = 0;
  // The process's granted timeBeginPeriod requests less its timeEndPeriod
  // calls: 0 when every raise was lowered exactly once, negative after a lower
  // that matched no raise. It keeps its value after the process ended.
  virtual int TimerPeriodBalance() const = 0;
  // The next popup menu that opens returns with this item chosen (0: dismissed).
  virtual void ChooseMenuItem(std::uint32_t id) = 0;
  // Kernel objects, keys, modules, menus, views, COM objects and devices this
  // process still holds, and a description of each.
  virtual int OpenObjectCount() const = 0;
  virtual std::vector<std::string> OpenObjects() const = 0;

  // The process ends: "exit code=N" goes to the trace, its windows go and what
  // it still holds is closed, as the system does for a process that exits.
  virtual void EndProcess(int exitCode) = 0;
  virtual bool Ended() const = 0;
};

}  // namespace hidhost::sim
