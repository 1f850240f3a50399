// Kernel objects of the simulated machine. An object lives as long as a
// handle, a view, a driver or a waiting thread refers to it; a named one can
// be found by name while it lives. Holds no lock; the world's lock guards it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Types.h"

namespace hidhost::sim {

enum class ObjectKind { Mutex, Semaphore, Event, Thread, Mapping, File, Device };

struct KernelObject {
  explicit KernelObject(ObjectKind k) : kind(k) {}

  ObjectKind kind;
  std::string name;

  // Mutex: the owning thread, or a program outside the simulation.
  std::optional<std::thread::id> owner;
  bool ownedOutside = false;
  // Held by a process in another security context: this one cannot open it.
  bool deniedOutside = false;
  int recursion = 0;
  bool abandoned = false;

  // Semaphore.
  std::int32_t count = 0;
  std::int32_t maximum = 0;

  // Event.
  bool manualReset = false;
  bool set = false;

  // Thread: signalled once it has ended.
  bool ended = false;

  // Mapping: the shared bytes, at a fixed address for the object's life.
  std::unique_ptr<std::uint8_t[]> bytes;
  std::uint32_t size = 0;

  // File: its entry in the open-file table.
  int openId = 0;
};

bool IsWaitable(const KernelObject& object);
// Whether a wait by this thread would end now.
bool CanTake(const KernelObject& object, std::thread::id who);
// Ends a wait that CanTake allows: takes a count, resets an auto-reset event, owns a mutex.
platform::WaitResult Take(KernelObject& object, std::thread::id who);

}  // namespace hidhost::sim
