#include "platform/sim/World.h"

#include <algorithm>
#include <optional>

#include "platform/sim/SimProcessImpl.h"

namespace hidhost::sim {

World::World(std::filesystem::path driveC) : files(std::move(driveC)) {}

World::~World() = default;

// The thread stops inside its call, once the call's line is written: where a
// recording saw the window thread take its inputs.
void World::Trace(std::string line) {
  ThreadRecord* record = callsBeforePause ? threads.Find(std::this_thread::get_id()) : nullptr;
  if (record != nullptr && *callsBeforePause == 0) PauseHere(*record);
  trace.push_back(std::move(line));
  if (record != nullptr && callsBeforePause && --*callsBeforePause == 0) PauseHere(*record);
}

void World::PauseHere(ThreadRecord& record) {
  callsBeforePause.reset();
  pausing = true;
  record.paused = true;
  Notify();
  // The caller's lock is this mutex, held; it is held again when the wait ends.
  Lock relock(mutex, std::adopt_lock);
  changed.wait(relock, [&] { return !pausing; });
  relock.release();
}

std::shared_ptr<KernelObject> World::FindNamed(const std::string& name) const {
  auto it = named.find(name);
  return it == named.end() ? nullptr : it->second.lock();
}

void World::AddNamed(const std::shared_ptr<KernelObject>& object) {
  if (!object->name.empty()) named[object->name] = object;
}

platform::WaitResult World::Wait(Lock& lock, const std::shared_ptr<KernelObject>& object,
                                 std::uint32_t timeoutMs) {
  return WaitAny(lock, {object}, timeoutMs).result;
}

platform::WaitAnyResult World::WaitAny(Lock& lock,
                                       const std::vector<std::shared_ptr<KernelObject>>& objects,
                                       std::uint32_t timeoutMs) {
  const std::thread::id me = std::this_thread::get_id();
  ThreadRecord* self = threads.Find(me);
  const auto takable = [&]() -> std::optional<std::size_t> {
    for (std::size_t i = 0; i < objects.size(); ++i) {
      if (CanTake(*objects[i], me)) return i;
    }
    return std::nullopt;
  };
  const auto take = [&](std::size_t i) {
    const std::shared_ptr<KernelObject>& object = objects[i];
    const platform::WaitResult result = Take(*object, me);
    if (object->kind == ObjectKind::Mutex && self != nullptr) {
      self->ownedMutexes.push_back(object);
    }
    return platform::WaitAnyResult{result, i};
  };
  if (objects.empty()) return {};
  for (const auto& object : objects) {
    if (!IsWaitable(*object)) return {};
  }
  if (const auto ready = takable()) return take(*ready);
  if (timeoutMs == 0) return {platform::WaitResult::Timeout, 0};

  const bool timed = timeoutMs != platform::kInfinite;
  if (self != nullptr) {
    self->waitingOn = objects;
    self->timedWait = timed;
  }
  Notify();
  changed.wait(lock, [&] { return takable() || (timed && threads.OthersSettled(self)); });
  if (self != nullptr) {
    self->waitingOn.clear();
    self->timedWait = false;
  }
  if (const auto ready = takable()) return take(*ready);
  clock.Sleep(timeoutMs);
  return {platform::WaitResult::Timeout, 0};
}

platform::LResult World::AwaitReply(Lock& lock, const std::shared_ptr<SentMessage>& sent) {
  ThreadRecord* self = threads.Find(std::this_thread::get_id());
  if (self != nullptr) self->awaitingReply = sent;
  Notify();
  changed.wait(lock, [&] { return sent->done; });
  if (self != nullptr) self->awaitingReply.reset();
  return sent->result;
}

void World::ReleaseOwnedMutex(KernelObject& mutex) {
  if (--mutex.recursion > 0) return;
  mutex.owner.reset();
  if (ThreadRecord* self = threads.Find(std::this_thread::get_id())) {
    std::erase_if(self->ownedMutexes, [&](const auto& owned) {
      auto locked = owned.lock();
      return locked == nullptr || locked.get() == &mutex;
    });
  }
  Notify();
}

void World::EndThread(ThreadRecord& record) {
  for (const auto& owned : record.ownedMutexes) {
    auto mutex = owned.lock();
    if (mutex == nullptr || mutex->owner != record.id) continue;
    mutex->owner.reset();
    mutex->recursion = 0;
    mutex->abandoned = true;
  }
  record.ownedMutexes.clear();
  record.ended = true;
  record.object->ended = true;
  Notify();
}

}  // namespace hidhost::sim
