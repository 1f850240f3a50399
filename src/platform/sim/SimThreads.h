// The threads that simulated processes start, and what each one waits for,
// so that the desktop can tell when every thread is stuck. Holds no lock;
// the world's lock guards it.
#pragma once

#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/KernelObjects.h"

namespace hidhost::sim {

class SimProcessImpl;

// A timer request that a thread other than the window's posted to it (as the
// Win32 backend posts one, the system refusing it from another thread):
// wParam the timer's id, lParam the period.
enum class TimerRequest { None, Set, Kill };

struct PostedMessage {
  std::uintptr_t hwnd = 0;
  std::uint32_t message = 0;
  platform::WParam wParam = 0;
  platform::LParam lParam = 0;
  TimerRequest timerRequest = TimerRequest::None;
};

// A message sent to a window of another thread, waiting for that thread's answer.
struct SentMessage {
  PostedMessage message;
  platform::LResult result = 0;
  bool done = false;
};

struct ThreadRecord {
  std::shared_ptr<KernelObject> object;
  SimProcessImpl* process = nullptr;
  std::optional<std::thread::id> id;  // set once the thread runs
  bool ended = false;
  std::vector<std::shared_ptr<KernelObject>> waitingOn;  // any one of them
  bool timedWait = false;
  std::shared_ptr<SentMessage> awaitingReply;
  bool paused = false;  // stopped before a call by the scenario, until it resumes
  std::vector<std::weak_ptr<KernelObject>> ownedMutexes;
  std::thread thread;
};

struct ThreadsToRelease {
  std::vector<std::thread> ended;  // to join
  std::vector<std::thread> stuck;  // to leave parked
};

class SimThreads {
 public:
  std::shared_ptr<ThreadRecord> Add(std::shared_ptr<KernelObject> object, SimProcessImpl* process);
  ThreadRecord* Find(std::thread::id id);
  void Unpause();

  // Every thread has ended or waits for something that cannot happen now.
  bool AllSettled() const;
  // The same for every thread but `self`, counting a timed wait as settled:
  // nothing else can move before a timed wait of `self` runs out.
  bool OthersSettled(const ThreadRecord* self) const;
  int LiveCount() const;

  // Hands over every thread: the ended ones to be joined, the others to be
  // left parked for good (a process that ends takes its threads with it, but
  // the simulation cannot stop a thread that waits for ever).
  ThreadsToRelease TakeThreads();

 private:
  std::vector<std::shared_ptr<ThreadRecord>> records_;
};

}  // namespace hidhost::sim
