#include "platform/sim/KernelObjects.h"

namespace hidhost::sim {

bool IsWaitable(const KernelObject& object) {
  switch (object.kind) {
    case ObjectKind::Mutex:
    case ObjectKind::Semaphore:
    case ObjectKind::Event:
    case ObjectKind::Thread:
      return true;
    default:
      return false;
  }
}

bool CanTake(const KernelObject& object, std::thread::id who) {
  switch (object.kind) {
    case ObjectKind::Mutex:
      return !object.ownedOutside && (!object.owner || *object.owner == who);
    case ObjectKind::Semaphore:
      return object.count > 0;
    case ObjectKind::Event:
      return object.set;
    case ObjectKind::Thread:
      return object.ended;
    default:
      return false;
  }
}

platform::WaitResult Take(KernelObject& object, std::thread::id who) {
  switch (object.kind) {
    case ObjectKind::Mutex: {
      object.owner = who;
      ++object.recursion;
      if (object.abandoned) {
        object.abandoned = false;
        return platform::WaitResult::Abandoned;
      }
      return platform::WaitResult::Signalled;
    }
    case ObjectKind::Semaphore:
      --object.count;
      return platform::WaitResult::Signalled;
    case ObjectKind::Event:
      if (!object.manualReset) object.set = false;
      return platform::WaitResult::Signalled;
    case ObjectKind::Thread:
      return platform::WaitResult::Signalled;
    default:
      return platform::WaitResult::Failed;
  }
}

}  // namespace hidhost::sim
