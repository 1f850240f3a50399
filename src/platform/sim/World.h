// Everything the simulated processes share, behind one lock. Facets take the
// lock for the length of one call and never hold it while the host's code
// runs (a window procedure, a thread's entry).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/DriverModel.h"
#include "platform/sim/FaultTable.h"
#include "platform/sim/HostFiles.h"
#include "platform/sim/KernelObjects.h"
#include "platform/sim/Libraries.h"
#include "platform/sim/RegistryStore.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimThreads.h"
#include "platform/sim/VirtualClock.h"
#include "platform/sim/WindowTree.h"

namespace hidhost::sim {

using Lock = std::unique_lock<std::mutex>;

struct InputState {
  platform::Point cursor;
  bool swapped = false;
  std::set<std::uint8_t> keysDown;
  std::set<std::string> buttonsDown;
  std::optional<std::uint32_t> doubleClickTime;
  std::map<std::uint32_t, SystemParameterRecord> systemParameters;  // the last call per action
};

struct ShellState {
  std::set<std::pair<std::uintptr_t, std::uint32_t>> trayIcons;  // window, icon id
  std::optional<std::uint32_t> pendingChoice;
  std::vector<MenuItemRecord> lastMenu;
  std::vector<std::string> launched;
  std::uintptr_t active = 0;
  std::map<std::string, std::uint32_t> atoms;  // registered messages, by lowercased name
  std::uint32_t nextAtom = 0xC000;
};

class World : public std::enable_shared_from_this<World> {
 public:
  explicit World(std::filesystem::path driveC);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // All members below are guarded by mutex.
  mutable std::mutex mutex;
  std::condition_variable changed;  // any change a waiting thread may care about

  std::vector<std::string> trace;
  VirtualClock clock;
  FaultTable faults;
  CallCounts calls;  // atomic: read without the lock
  WindowTree windows;
  RegistryStore registry;
  HostFiles files;
  std::map<std::string, std::weak_ptr<KernelObject>> named;
  std::vector<std::shared_ptr<KernelObject>> heldElsewhere;  // objects of programs outside
  std::map<int, int> fileHolds;                              // hold id -> open id
  DriverModel driver;
  Libraries libraries;
  InputState input;
  ShellState shell;
  SimThreads threads;
  std::vector<std::unique_ptr<SimProcessImpl>> processes;
  // A thread of a process (not its main thread) stops inside its call after
  // this many more lines (0: before its next), until Resume; none when empty.
  std::optional<std::uint32_t> callsBeforePause;
  bool pausing = false;  // a thread stands stopped until Resume
  std::uint32_t slowNotifyIconMs = 0;

  // With the lock held; a thread whose pause is due stands there until Resume.
  void Trace(std::string line);
  void PauseHere(ThreadRecord& record);
  // Every platform call passes here once, so it is also where calls are counted.
  bool Fails(Call call) {
    calls.Count(call);
    return faults.Consume(call);
  }
  void Notify() { changed.notify_all(); }

  std::shared_ptr<KernelObject> FindNamed(const std::string& name) const;
  void AddNamed(const std::shared_ptr<KernelObject>& object);

  // A wait of the calling thread, with the lock held on entry and exit.
  platform::WaitResult Wait(Lock& lock, const std::shared_ptr<KernelObject>& object,
                            std::uint32_t timeoutMs);
  // The same for the first of several objects that can be taken.
  platform::WaitAnyResult WaitAny(Lock& lock,
                                  const std::vector<std::shared_ptr<KernelObject>>& objects,
                                  std::uint32_t timeoutMs);
  // The calling thread's answer from a window of another thread.
  platform::LResult AwaitReply(Lock& lock, const std::shared_ptr<SentMessage>& sent);
  void ReleaseOwnedMutex(KernelObject& mutex);
  // Marks a simulated thread ended: its object signalled, its mutexes abandoned.
  void EndThread(ThreadRecord& record);

  // The real path of a Windows path on C: (bare names in bareNameDirectory).
  std::optional<std::filesystem::path> Resolve(std::string_view windowsPath,
                                               std::string_view bareNameDirectory) const {
    return files.Resolve(windowsPath, bareNameDirectory);
  }
};

}  // namespace hidhost::sim
