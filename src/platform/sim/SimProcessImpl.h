// One simulated process: its handle tables, its message queue and the
// platform facets through which its code reaches the world. Every member
// below the public interface is guarded by the world's lock.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/World.h"

namespace hidhost::sim {

class SimProcessImpl final : public SimProcess {
 public:
  explicit SimProcessImpl(World& world);
  ~SimProcessImpl() override;

  platform::Platform& Platform() override { return platform_; }
  void RunMainThread(std::function<int()> main) override;
  bool PumpMessages() override;
  bool HasPendingMessages() const override;
  std::optional<int> QuitCode() const override;
  platform::LResult SendToWindow(platform::Hwnd hwnd, std::uint32_t message,
                                 platform::WParam wParam, platform::LParam lParam) override;
  bool PostToWindow(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                    platform::LParam lParam) override;
  bool HasTimer(platform::Hwnd hwnd, std::uintptr_t id) const override;
  bool AdvanceToTimerTick(platform::Hwnd hwnd, std::uintptr_t id) override;
  // The calling thread spends ms inside a call: the window's running timers
  // tick on the window's thread meanwhile, each when the system would fire it.
  void RunWindowTimersFor(platform::Hwnd hwnd, std::uint32_t ms);
  int TimerPeriodBalance() const override;
  void ChooseMenuItem(std::uint32_t id) override;
  int OpenObjectCount() const override;
  std::vector<std::string> OpenObjects() const override;
  void EndProcess(int exitCode) override;
  bool Ended() const override;

  // Delivery to a window of this world: directly when the calling thread is
  // the window's, else through the window thread's queue with the caller
  // waiting for the answer. The lock is held on entry and exit.
  platform::LResult Deliver(Lock& lock, std::uintptr_t hwnd, std::uint32_t message,
                            platform::WParam wParam, platform::LParam lParam);
  // Destroys a window and its children: WM_DESTROY from the top down, then
  // WM_NCDESTROY from the bottom up. The lock is held on entry and exit.
  bool DestroyWindowTree(Lock& lock, std::uintptr_t hwnd);
  // Queues a message for one of this process's windows.
  void Enqueue(const PostedMessage& message);
  // The message loop of Windows::RunMessageLoop; gives the quit message's code.
  std::int32_t RunMessageLoop();
  // True while the main thread holds the turn (lock held).
  bool MainThreadRunning() const { return main_ != nullptr && !main_->ended && main_->hasTurn; }
  // The main thread, to be joined once it has ended or else left parked for
  // good (a process ended from outside never runs its code again).
  std::thread TakeMainThread(bool& ended);

  std::uintptr_t AddKernelHandle(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> Object(platform::Handle handle) const;
  std::shared_ptr<KernelObject> Object(platform::Handle handle, ObjectKind kind) const;

  // Handle tables.
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> kernelHandles;
  std::map<std::uintptr_t, std::string> keys;  // handle -> full key path
  std::map<std::uintptr_t, int> modules;       // base -> loads not yet freed
  std::map<std::uintptr_t, std::vector<MenuItemRecord>> menus;
  std::set<std::uintptr_t> comObjects;
  std::vector<std::pair<void*, std::shared_ptr<KernelObject>>> views;
  std::set<std::uintptr_t> sessionWindows;
  int comInitialized = 0;
  std::map<std::uint32_t, int> heldTimerPeriods;  // timeBeginPeriod's ms -> requests held
  int timerPeriodBalance = 0;  // granted timeBeginPeriod less timeEndPeriod calls

  // Messages.
  std::deque<PostedMessage> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::optional<int> quitCode;
  bool quitSeen = false;
  bool ended = false;

  // Each kind of handle has its own range, so that a handle's value does not
  // depend on how many objects of other kinds the process opened before it.
  std::uintptr_t NextHandle(ObjectKind kind) { return NextInRange(static_cast<std::size_t>(kind)); }
  std::uintptr_t NextKeyHandle() { return NextInRange(kKeyRange); }
  std::uintptr_t NextMenu() { return nextMenu_++; }
  std::uintptr_t NextComObject() { return nextCom_ += 0x10; }

 private:
  // One step of the pump, lock held: false when nothing was left to deliver.
  bool DeliverOne(Lock& lock);
  void ApplyTimerRequest(WindowRecord& window, const PostedMessage& request);
  void CloseEverything();

  // The main thread runs only while it holds the turn; the thread that gives
  // it waits until the main thread gives it back (in its loop, or by ending).
  struct MainThread {
    enum class Step { Pump, Deliver };
    std::thread thread;
    std::thread::id id;
    bool hasTurn = true;
    bool ended = false;
    Step step = Step::Pump;
    PostedMessage message;  // Deliver: the message sent from outside, and its answer
    platform::LResult result = 0;
  };
  bool OnMainThread() const { return main_ != nullptr && main_->id == std::this_thread::get_id(); }
  // True when the calling thread must hand a turn to the main thread.
  bool HandsToMainThread() const {
    return main_ != nullptr && !main_->ended && !ended && !OnMainThread();
  }
  void HandTurn(Lock& lock, MainThread::Step step);
  void GiveTurnBack(Lock& lock);
  std::int32_t RunFreeMessageLoop(Lock& lock);
  std::unique_ptr<MainThread> main_;

  static constexpr std::size_t kKeyRange = 7;
  static constexpr std::uintptr_t kRangeSize = 0x100000;
  std::uintptr_t NextInRange(std::size_t range) {
    const std::uintptr_t slot = handlesIssued_[range]++ % (kRangeSize / 4);
    return (range + 1) * kRangeSize + slot * 4;
  }

  World& world_;
  std::array<std::uintptr_t, kKeyRange + 1> handlesIssued_{};
  std::uintptr_t nextMenu_ = 0x20001;
  std::uintptr_t nextCom_ = 0x30000;

  std::unique_ptr<platform::Input> input_;
  std::unique_ptr<platform::Windows> windows_;
  std::unique_ptr<platform::Timers> timers_;
  std::unique_ptr<platform::Registry> registry_;
  std::unique_ptr<platform::ProfileFiles> profile_;
  std::unique_ptr<platform::Kernel> kernel_;
  std::unique_ptr<platform::Shell> shell_;
  std::unique_ptr<platform::DriverDevice> driver_;
  platform::Platform platform_;
};

}  // namespace hidhost::sim
