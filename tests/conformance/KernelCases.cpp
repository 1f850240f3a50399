// Kernel objects and the results of waits on them, threads, the shared
// block's mapping and libraries.
#include <atomic>
#include <cstring>

#include "Cases.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

using platform::Handle;
using platform::WaitResult;

constexpr const char* kMutexName = "HidHostConformance-Mutex";
constexpr const char* kMappingName = "HidHostConformance-Mapping";
constexpr std::uint32_t kBlockSize = 116;

struct Taker {
  platform::Kernel* kernel;
  Handle mutex;
  std::atomic<bool> took{false};
  // Takes the mutex and ends without giving it back.
  static std::uint32_t Run(void* raw) {
    auto* self = static_cast<Taker*>(raw);
    self->took = self->kernel->WaitForSingleObject(self->mutex, platform::kInfinite) ==
                 WaitResult::Signalled;
    return 0;
  }
};

// Waits on a semaphore, counting its wake-ups, until told to stop.
struct Worker {
  platform::Kernel* kernel;
  Handle semaphore;
  std::uint32_t parameter = 0;
  std::atomic<std::uint32_t> seen{0};
  std::atomic<int> wakeUps{0};
  std::atomic<bool> quit{false};
  static std::uint32_t Run(void* raw) {
    auto* self = static_cast<Worker*>(raw);
    self->seen = self->parameter;
    for (;;) {
      self->kernel->WaitForSingleObject(self->semaphore, platform::kInfinite);
      if (self->quit.load()) return 0;
      self->wakeUps.fetch_add(1);
    }
  }
};

}  // namespace

void NamedMutexes(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  const platform::CreatedMutex first = kernel.CreateMutex(kMutexName);
  const platform::CreatedMutex second = kernel.CreateMutex(kMutexName);
  check.True(1, "the first of a name is new",
             platform::IsSet(first.handle) && !first.alreadyExisted);
  check.True(2, "the second of the name reports it existed",
             platform::IsSet(second.handle) && second.alreadyExisted);
  check.True(3, "not owned by its creator: releasing fails", !kernel.ReleaseMutex(first.handle));
  check.Equal(4, "taken", kernel.WaitForSingleObject(first.handle, 0), WaitResult::Signalled);
  check.Equal(5, "and again by its owner, through the other handle",
              kernel.WaitForSingleObject(second.handle, 0), WaitResult::Signalled);
  check.True(6, "released as often as taken",
             kernel.ReleaseMutex(first.handle) && kernel.ReleaseMutex(first.handle));
  check.True(7, "and no more", !kernel.ReleaseMutex(first.handle));
  kernel.CloseHandle(first.handle);
  kernel.CloseHandle(second.handle);
  const platform::CreatedMutex third = kernel.CreateMutex(kMutexName);
  check.True(8, "once its last handle is closed the name is free", !third.alreadyExisted);
  kernel.CloseHandle(third.handle);
}

void AbandonedMutex(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  Taker taker{&kernel, kernel.CreateMutex("").handle};
  const Handle thread = kernel.CreateThread(0, &Taker::Run, &taker);
  check.Equal(1, "the thread ends", kernel.WaitForSingleObject(thread, platform::kInfinite),
              WaitResult::Signalled);
  check.True(2, "having taken the mutex", taker.took.load());
  check.Equal(3, "a mutex left by an ended thread waits as abandoned",
              kernel.WaitForSingleObject(taker.mutex, 0), WaitResult::Abandoned);
  check.True(4, "and the abandoned wait hands it to the waiter", kernel.ReleaseMutex(taker.mutex));
  check.Equal(5, "which leaves it free", kernel.WaitForSingleObject(taker.mutex, 0),
              WaitResult::Signalled);
  kernel.ReleaseMutex(taker.mutex);
  kernel.CloseHandle(thread);
  kernel.CloseHandle(taker.mutex);
}

void SemaphoresEventsAndWaits(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  const Handle semaphore = kernel.CreateSemaphore(0, 3);
  check.True(1, "semaphore created", platform::IsSet(semaphore));
  const std::uint64_t start = stage.NowUs();
  check.Equal(2, "count 0: the wait times out", kernel.WaitForSingleObject(semaphore, 30),
              WaitResult::Timeout);
  check.True(3, "after its time", stage.NowUs() - start >= 30000);
  check.True(4, "released by two", kernel.ReleaseSemaphore(semaphore, 2));
  check.True(5, "no release past the maximum", !kernel.ReleaseSemaphore(semaphore, 2));
  check.Equal(6, "one count taken", kernel.WaitForSingleObject(semaphore, 0),
              WaitResult::Signalled);
  check.Equal(7, "the second", kernel.WaitForSingleObject(semaphore, 0), WaitResult::Signalled);
  check.Equal(8, "then none", kernel.WaitForSingleObject(semaphore, 0), WaitResult::Timeout);
  check.True(9, "a refused release changed nothing: up to the maximum again",
             kernel.ReleaseSemaphore(semaphore, 3));

  const Handle manual = kernel.CreateEvent(true, false);
  const Handle automatic = kernel.CreateEvent(false, true);
  check.Equal(10, "an auto-reset event set at creation", kernel.WaitForSingleObject(automatic, 0),
              WaitResult::Signalled);
  check.Equal(11, "resets with the wait", kernel.WaitForSingleObject(automatic, 0),
              WaitResult::Timeout);
  kernel.SetEvent(manual);
  check.True(12, "a manual-reset event stays set",
             kernel.WaitForSingleObject(manual, 0) == WaitResult::Signalled &&
                 kernel.WaitForSingleObject(manual, 0) == WaitResult::Signalled);

  const Handle both[] = {automatic, semaphore, manual};
  const platform::WaitAnyResult any = kernel.WaitForMultipleObjects(both, 0);
  check.True(20, "of several that can be taken, the first in the list",
             any.result == WaitResult::Signalled && any.index == 1);
  const Handle nothing[] = {automatic};
  check.Equal(21, "none can be taken: the wait times out",
              kernel.WaitForMultipleObjects(nothing, 10).result, WaitResult::Timeout);

  kernel.CloseHandle(semaphore);
  kernel.CloseHandle(manual);
  kernel.CloseHandle(automatic);
  check.Equal(30, "a closed handle fails the wait", kernel.WaitForSingleObject(semaphore, 0),
              WaitResult::Failed);
}

void Threads(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  Worker worker{&kernel, kernel.CreateSemaphore(0, 100), 41};
  const Handle thread = kernel.CreateThread(4096, &Worker::Run, &worker);
  check.True(1, "a thread with a 4096-byte stack", platform::IsSet(thread));
  check.Equal(2, "a timed wait on a thread that waits for ever times out",
              kernel.WaitForSingleObject(thread, 50), WaitResult::Timeout);
  check.Equal(3, "the entry got its parameter", worker.seen.load(), 41u);
  kernel.ReleaseSemaphore(worker.semaphore, 1);
  stage.LetOtherThreadsRun();
  check.Equal(4, "one release, one wake-up", worker.wakeUps.load(), 1);
  worker.quit = true;
  kernel.ReleaseSemaphore(worker.semaphore, 1);
  check.Equal(5, "a thread that returns signals its handle",
              kernel.WaitForSingleObject(thread, 5000), WaitResult::Signalled);
  kernel.CloseHandle(thread);
  kernel.CloseHandle(worker.semaphore);
}

void SharedMapping(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  const Handle mapping = kernel.CreateFileMapping(kMappingName, kBlockSize);
  const Handle again = kernel.CreateFileMapping(kMappingName, kBlockSize);
  check.True(1, "a mapping made, and opened again by its name",
             platform::IsSet(mapping) && platform::IsSet(again));
  auto* view = static_cast<std::uint8_t*>(kernel.MapViewOfFile(mapping, kBlockSize));
  auto* other = static_cast<std::uint8_t*>(kernel.MapViewOfFile(again, kBlockSize));
  if (!check.True(2, "both mapped", view != nullptr && other != nullptr)) return;
  check.True(3, "a new block is zero", view[0] == 0 && view[kBlockSize - 1] == 0);
  view[0] = 0x5A;
  view[kBlockSize - 1] = 0xA5;
  check.True(4, "one block behind both names", other[0] == 0x5A && other[kBlockSize - 1] == 0xA5);
  if (const auto open = stage.OpenToEveryone(mapping)) {
    check.True(5, "an inheritable handle and a null access list", *open);
  }
  check.True(6, "views unmapped", kernel.UnmapViewOfFile(view) && kernel.UnmapViewOfFile(other));
  check.True(7, "not twice", !kernel.UnmapViewOfFile(view));
  kernel.CloseHandle(again);
  kernel.CloseHandle(mapping);
}

void Libraries(Checks& check, Stage& stage) {
  auto& kernel = stage.Seam().kernel;
  const platform::Module library = kernel.LoadLibrary("wtsapi32.dll");
  check.True(1, "a system library loads by its name", platform::IsSet(library));
  check.True(2, "an entry it has", kernel.HasProcedure(library, "WTSRegisterSessionNotification"));
  check.True(3, "an entry it lacks", !kernel.HasProcedure(library, "HidHostNoSuchEntry"));
  check.True(4, "no library, no entry",
             !kernel.HasProcedure(platform::Module::None, "WTSRegisterSessionNotification"));
  check.True(5, "freed", kernel.FreeLibrary(library));
  check.True(6, "a missing library does not load",
             !platform::IsSet(kernel.LoadLibrary("hidhost-no-such-library.dll")));
  const platform::Module strings = kernel.LoadLibrary(stage.StringLibraryPath());
  check.True(7, "the string library loads by its full path", platform::IsSet(strings));
  kernel.FreeLibrary(strings);
}

}  // namespace hidhost::conformance
