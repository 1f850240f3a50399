#include "platform/sim/SimProcessImpl.h"

#include "platform/Constants.h"
#include "platform/trace/CallLines.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::sim {

namespace {

std::string Describe(const KernelObject& object) {
  static constexpr const char* kKinds[] = {"mutex",   "semaphore", "event", "thread",
                                           "mapping", "file",      "device"};
  std::string text = kKinds[static_cast<int>(object.kind)];
  if (!object.name.empty()) {
    text += ' ';
    text += trace::Quoted(object.name);
  }
  return text;
}

}  // namespace

SimProcessImpl::SimProcessImpl(World& world)
    : world_(world),
      input_(MakeSimInput(world, *this)),
      windows_(MakeSimWindows(world, *this)),
      timers_(MakeSimTimers(world, *this)),
      registry_(MakeSimRegistry(world, *this)),
      profile_(MakeSimProfileFiles(world, *this)),
      kernel_(MakeSimKernel(world, *this)),
      shell_(MakeSimShell(world, *this)),
      driver_(MakeSimDriverDevice(world, *this)),
      platform_{*input_, *windows_, *timers_, *registry_, *profile_, *kernel_, *shell_, *driver_} {}

SimProcessImpl::~SimProcessImpl() {
  Lock lock(world_.mutex);
  if (!ended) CloseEverything();
}

void SimProcessImpl::RunMainThread(std::function<int()> main) {
  Lock lock(world_.mutex);
  main_ = std::make_unique<MainThread>();
  main_->thread = std::thread([this, world = world_.shared_from_this(), main = std::move(main)] {
    {
      Lock started(world->mutex);
      main_->id = std::this_thread::get_id();
    }
    EndProcess(main());
    Lock ended(world->mutex);
    main_->ended = true;
    GiveTurnBack(ended);
  });
  world_.changed.wait(lock, [&] { return !main_->hasTurn; });
}

void SimProcessImpl::HandTurn(Lock& lock, MainThread::Step step) {
  main_->step = step;
  main_->hasTurn = true;
  world_.Notify();
  world_.changed.wait(lock, [&] { return !main_->hasTurn; });
}

void SimProcessImpl::GiveTurnBack(Lock&) {
  main_->hasTurn = false;
  world_.Notify();
}

std::thread SimProcessImpl::TakeMainThread(bool& mainEnded) {
  mainEnded = main_ == nullptr || main_->ended;
  return main_ == nullptr ? std::thread() : std::move(main_->thread);
}

bool SimProcessImpl::PumpMessages() {
  Lock lock(world_.mutex);
  if (main_ != nullptr && !OnMainThread()) {
    if (HandsToMainThread()) HandTurn(lock, MainThread::Step::Pump);
    return quitSeen || ended;
  }
  while (DeliverOne(lock)) {
  }
  if (quitCode) quitSeen = true;
  return quitSeen;
}

std::int32_t SimProcessImpl::RunMessageLoop() {
  Lock lock(world_.mutex);
  if (!OnMainThread()) return RunFreeMessageLoop(lock);
  for (;;) {
    GiveTurnBack(lock);
    world_.changed.wait(lock, [&] { return main_->hasTurn; });
    if (main_->step == MainThread::Step::Deliver) {
      const PostedMessage message = main_->message;
      main_->result = Deliver(lock, message.hwnd, message.message, message.wParam, message.lParam);
      continue;
    }
    while (DeliverOne(lock)) {
    }
    if (!quitCode) continue;
    quitSeen = true;
    // What the last messages set going on other threads ends before the exit hook runs.
    world_.changed.wait(lock, [&] { return world_.threads.AllSettled(); });
    return *quitCode;
  }
}

std::int32_t SimProcessImpl::RunFreeMessageLoop(Lock& lock) {
  for (;;) {
    while (DeliverOne(lock)) {
    }
    if (quitCode) {
      quitSeen = true;
      return *quitCode;
    }
    world_.changed.wait(lock, [&] { return !posted.empty() || !sent.empty() || quitCode; });
  }
}

bool SimProcessImpl::DeliverOne(Lock& lock) {
  if (!sent.empty()) {
    auto message = sent.front();
    sent.pop_front();
    const WindowRecord* window = world_.windows.Find(message->message.hwnd);
    platform::WindowProcedure* procedure = window != nullptr ? window->procedure : nullptr;
    platform::LResult result = 0;
    if (procedure != nullptr) {
      lock.unlock();
      const auto& m = message->message;
      result =
          procedure->OnMessage(static_cast<platform::Hwnd>(m.hwnd), m.message, m.wParam, m.lParam);
      lock.lock();
    }
    message->result = result;
    message->done = true;
    world_.Notify();
    return true;
  }
  if (!posted.empty()) {
    const PostedMessage message = posted.front();
    posted.pop_front();
    WindowRecord* window = world_.windows.Find(message.hwnd);
    if (message.timerRequest != TimerRequest::None) {
      // Answered by the window's class before any procedure sees a message.
      if (window != nullptr && window->owner == this) ApplyTimerRequest(*window, message);
      return true;
    }
    if (window != nullptr && window->owner == this && window->procedure != nullptr) {
      platform::WindowProcedure* procedure = window->procedure;
      lock.unlock();
      procedure->OnMessage(static_cast<platform::Hwnd>(message.hwnd), message.message,
                           message.wParam, message.lParam);
      lock.lock();
    }
    return true;
  }
  return false;
}

void SimProcessImpl::ApplyTimerRequest(WindowRecord& window, const PostedMessage& request) {
  const auto id = static_cast<std::uintptr_t>(request.wParam);
  if (request.timerRequest == TimerRequest::Set) {
    StartWindowTimer(window, id, static_cast<std::uint32_t>(request.lParam), world_.clock.NowUs());
  } else {
    StopWindowTimer(window, id);
  }
}

bool SimProcessImpl::HasPendingMessages() const {
  Lock lock(world_.mutex);
  return !posted.empty() || !sent.empty();
}

std::optional<int> SimProcessImpl::QuitCode() const {
  Lock lock(world_.mutex);
  return quitCode;
}

platform::LResult SimProcessImpl::SendToWindow(platform::Hwnd hwnd, std::uint32_t message,
                                               platform::WParam wParam, platform::LParam lParam) {
  Lock lock(world_.mutex);
  const std::uintptr_t id = platform::ValueOf(hwnd);
  const WindowRecord* window = world_.windows.Find(id);
  if (HandsToMainThread() && window != nullptr && window->owner == this &&
      window->thread == main_->id) {
    main_->message = {id, message, wParam, lParam};
    main_->result = 0;
    HandTurn(lock, MainThread::Step::Deliver);
    return main_->result;
  }
  return Deliver(lock, id, message, wParam, lParam);
}

bool SimProcessImpl::PostToWindow(platform::Hwnd hwnd, std::uint32_t message,
                                  platform::WParam wParam, platform::LParam lParam) {
  Lock lock(world_.mutex);
  const PostedMessage posting{platform::ValueOf(hwnd), message, wParam, lParam};
  WindowRecord* window = world_.windows.Find(posting.hwnd);
  if (window == nullptr) return false;
  // A window no simulated process owns (a scenario's) takes the message and does nothing.
  if (window->owner != nullptr) window->owner->Enqueue(posting);
  return true;
}

platform::LResult SimProcessImpl::Deliver(Lock& lock, std::uintptr_t hwnd, std::uint32_t message,
                                          platform::WParam wParam, platform::LParam lParam) {
  const WindowRecord* window = world_.windows.Find(hwnd);
  if (window == nullptr || window->procedure == nullptr || window->owner == nullptr ||
      window->owner->ended) {
    return 0;
  }
  if (window->thread == std::this_thread::get_id()) {
    platform::WindowProcedure* procedure = window->procedure;
    lock.unlock();
    const platform::LResult result =
        procedure->OnMessage(static_cast<platform::Hwnd>(hwnd), message, wParam, lParam);
    lock.lock();
    return result;
  }
  auto sending = std::make_shared<SentMessage>();
  sending->message = {hwnd, message, wParam, lParam};
  window->owner->sent.push_back(sending);
  return world_.AwaitReply(lock, sending);
}

bool SimProcessImpl::DestroyWindowTree(Lock& lock, std::uintptr_t hwnd) {
  WindowRecord* top = world_.windows.Find(hwnd);
  if (top == nullptr || top->destroying || hwnd == kDesktopWindow) return false;
  std::vector<std::uintptr_t> order{hwnd};
  for (auto id : world_.windows.Descendants(hwnd)) order.push_back(id);
  for (auto id : order) world_.windows.Find(id)->destroying = true;

  auto send = [&](std::uintptr_t id, std::uint32_t message) {
    const WindowRecord* window = world_.windows.Find(id);
    if (window == nullptr || window->procedure == nullptr) return;
    platform::WindowProcedure* procedure = window->procedure;
    lock.unlock();
    procedure->OnMessage(static_cast<platform::Hwnd>(id), message, 0, 0);
    lock.lock();
  };
  for (auto id : order) send(id, platform::kWmDestroy);
  for (auto it = order.rbegin(); it != order.rend(); ++it) send(*it, platform::kWmNcDestroy);

  world_.windows.Remove(hwnd);
  for (auto id : order) {
    if (world_.shell.active == id) world_.shell.active = 0;
  }
  return true;
}

void SimProcessImpl::Enqueue(const PostedMessage& message) {
  posted.push_back(message);
  world_.Notify();
}

bool SimProcessImpl::HasTimer(platform::Hwnd hwnd, std::uintptr_t id) const {
  Lock lock(world_.mutex);
  const WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  return window != nullptr && window->timers.contains(id);
}

bool SimProcessImpl::AdvanceToTimerTick(platform::Hwnd hwnd, std::uintptr_t id) {
  Lock lock(world_.mutex);
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr) return false;
  auto it = window->timers.find(id);
  if (it == window->timers.end()) return false;
  WindowTimer& timer = it->second;
  const std::uint64_t due = timer.sinceUs + timer.periodMs * std::uint64_t{1000};
  world_.clock.AdvanceTo(world_.clock.FirstTickAtOrAfter(due));
  timer.sinceUs = world_.clock.NowUs();
  return true;
}

void SimProcessImpl::RunWindowTimersFor(platform::Hwnd hwnd, std::uint32_t ms) {
  Lock lock(world_.mutex);
  const std::uint64_t endUs = world_.clock.NowUs() + std::uint64_t{ms} * 1000;
  for (;;) {
    WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
    if (window == nullptr || !HandsToMainThread() || window->thread != main_->id) break;
    std::optional<std::pair<std::uint64_t, std::uintptr_t>> next;  // due time, timer id
    for (const auto& [id, timer] : window->timers) {
      const std::uint64_t due =
          world_.clock.FirstTickAtOrAfter(timer.sinceUs + timer.periodMs * std::uint64_t{1000});
      if (due <= endUs && (!next || due < next->first)) next = std::make_pair(due, id);
    }
    if (!next) break;
    world_.clock.AdvanceTo(next->first);
    window->timers.at(next->second).sinceUs = world_.clock.NowUs();
    main_->message = {platform::ValueOf(hwnd), platform::kWmTimer, next->second, 0};
    main_->result = 0;
    HandTurn(lock, MainThread::Step::Deliver);
  }
  world_.clock.AdvanceTo(world_.clock.FirstTickAtOrAfter(endUs));
}

int SimProcessImpl::TimerPeriodBalance() const {
  Lock lock(world_.mutex);
  return timerPeriodBalance;
}

void SimProcessImpl::ChooseMenuItem(std::uint32_t id) {
  Lock lock(world_.mutex);
  world_.shell.pendingChoice = id;
}

std::uintptr_t SimProcessImpl::AddKernelHandle(std::shared_ptr<KernelObject> object) {
  const std::uintptr_t handle = NextHandle(object->kind);
  kernelHandles.emplace(handle, std::move(object));
  return handle;
}

std::shared_ptr<KernelObject> SimProcessImpl::Object(platform::Handle handle) const {
  auto it = kernelHandles.find(platform::ValueOf(handle));
  return it == kernelHandles.end() ? nullptr : it->second;
}

std::shared_ptr<KernelObject> SimProcessImpl::Object(platform::Handle handle,
                                                     ObjectKind kind) const {
  auto object = Object(handle);
  return object != nullptr && object->kind == kind ? object : nullptr;
}

int SimProcessImpl::OpenObjectCount() const {
  return static_cast<int>(OpenObjects().size());
}

std::vector<std::string> SimProcessImpl::OpenObjects() const {
  Lock lock(world_.mutex);
  std::vector<std::string> open;
  for (const auto& [handle, object] : kernelHandles) open.push_back(Describe(*object));
  for (const auto& [handle, path] : keys) open.push_back("key " + trace::Quoted(path));
  for (const auto& [base, loads] : modules) {
    const LibraryInfo* library = world_.libraries.AtBase(base);
    for (int i = 0; i < loads; ++i) {
      open.push_back("module " + trace::Quoted(library != nullptr ? library->path : ""));
    }
  }
  for (std::size_t i = 0; i < menus.size(); ++i) open.push_back("menu");
  for (std::size_t i = 0; i < comObjects.size(); ++i) open.push_back("COM object");
  for (const auto& view : views) open.push_back("view of " + trace::Quoted(view.second->name));
  for (const auto& [ms, requests] : heldTimerPeriods) {
    for (int i = 0; i < requests; ++i) {
      open.push_back("timer resolution " + trace::Decimal(ms) + " ms");
    }
  }
  return open;
}

void SimProcessImpl::EndProcess(int exitCode) {
  Lock lock(world_.mutex);
  if (ended) return;
  world_.Trace(trace::ExitLine(exitCode));
  CloseEverything();
}

bool SimProcessImpl::Ended() const {
  Lock lock(world_.mutex);
  return ended;
}

void SimProcessImpl::CloseEverything() {
  for (auto id : world_.windows.WindowsOf(this)) {
    std::erase_if(world_.shell.trayIcons, [id](const auto& icon) { return icon.first == id; });
    if (world_.shell.active == id) world_.shell.active = 0;
    world_.windows.Remove(id);
  }
  const std::thread::id me = std::this_thread::get_id();
  for (auto& [handle, object] : kernelHandles) {
    if (object->kind == ObjectKind::Device) world_.driver.Closed();
    if (object->kind == ObjectKind::File) world_.files.Close(object->openId);
    if (object->kind == ObjectKind::Mutex && object->owner == me) {
      object->owner.reset();
      object->recursion = 0;
      object->abandoned = true;
    }
  }
  kernelHandles.clear();
  keys.clear();
  modules.clear();
  menus.clear();
  comObjects.clear();
  views.clear();
  // The system lets go of the resolution a process held, as of any other object.
  for (const auto& [ms, requests] : heldTimerPeriods) {
    for (int i = 0; i < requests; ++i) world_.clock.ReleaseResolution(ms);
  }
  heldTimerPeriods.clear();
  sessionWindows.clear();
  posted.clear();
  for (auto& message : sent) message->done = true;
  sent.clear();
  ended = true;
  world_.Notify();
}

}  // namespace hidhost::sim
