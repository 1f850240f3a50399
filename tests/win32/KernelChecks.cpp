// Kernel objects, threads, the shared block's mapping and libraries.
#include <aclapi.h>

#include <cstring>

#include "Checks.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32::checks {
namespace {

constexpr const char* kMutexName = "HidHostBackendCheck-Mutex";
constexpr const char* kMappingName = "HidHostBackendCheck-Mapping";
constexpr std::uint32_t kBlockSize = 116;

std::uint32_t ReturnParameterPlusOne(void* parameter) {
  return *static_cast<std::uint32_t*>(parameter) + 1;
}

struct Abandoning {
  Kernel* kernel;
  Handle mutex;
};

// Takes the mutex and ends without giving it back.
std::uint32_t TakeAndLeave(void* raw) {
  auto* abandoning = static_cast<Abandoning*>(raw);
  return abandoning->kernel->WaitForSingleObject(abandoning->mutex, kInfinite) ==
         WaitResult::Signalled;
}

DWORD ThreadExitCode(Kernel& kernel, Handle thread) {
  kernel.WaitForSingleObject(thread, kInfinite);
  DWORD code = 0;
  GetExitCodeThread(ToHandle(thread), &code);
  return code;
}

void CheckMutexes(Checks& check, Kernel& kernel) {
  const CreatedMutex first = kernel.CreateMutex(kMutexName);
  const CreatedMutex second = kernel.CreateMutex(kMutexName);
  check.True(1, "first mutex created", IsSet(first.handle) && !first.alreadyExisted);
  check.True(2, "second of the same name reports it existed",
             IsSet(second.handle) && second.alreadyExisted);
  check.True(3, "not owned by its creator: releasing fails", !kernel.ReleaseMutex(first.handle));
  kernel.CloseHandle(second.handle);

  Abandoning abandoning{&kernel, first.handle};
  const Handle thread = kernel.CreateThread(0, TakeAndLeave, &abandoning);
  check.Equal(4, "the thread took the mutex", ThreadExitCode(kernel, thread), 1u);
  kernel.CloseHandle(thread);
  check.Equal(5, "a mutex left by an ended thread waits as abandoned",
              kernel.WaitForSingleObject(first.handle, 0), WaitResult::Abandoned);
  check.True(6, "and now belongs to the waiter", kernel.ReleaseMutex(first.handle));
  kernel.CloseHandle(first.handle);
}

void CheckWaitsAndSemaphores(Checks& check, Kernel& kernel) {
  const Handle semaphore = kernel.CreateSemaphore(0, 100);
  check.True(10, "semaphore created", IsSet(semaphore));
  check.Equal(11, "count 0 times out", kernel.WaitForSingleObject(semaphore, 0),
              WaitResult::Timeout);
  check.True(12, "released by one", kernel.ReleaseSemaphore(semaphore, 1));
  check.Equal(13, "one count taken", kernel.WaitForSingleObject(semaphore, 0),
              WaitResult::Signalled);
  check.True(14, "no release past the maximum", !kernel.ReleaseSemaphore(semaphore, 101));
  kernel.CloseHandle(semaphore);
  check.Equal(15, "a closed handle fails the wait", kernel.WaitForSingleObject(semaphore, 0),
              WaitResult::Failed);
}

void CheckThreads(Checks& check, Kernel& kernel) {
  std::uint32_t parameter = 41;
  const Handle thread = kernel.CreateThread(4096, ReturnParameterPlusOne, &parameter);
  check.True(20, "thread created with a 4096-byte stack", IsSet(thread));
  check.Equal(21, "the entry gets its parameter; its result is the exit code",
              ThreadExitCode(kernel, thread), 42u);
  kernel.CloseHandle(thread);
}

void CheckMapping(Checks& check, Kernel& kernel) {
  const Handle mapping = kernel.CreateFileMapping(kMappingName, kBlockSize);
  const Handle again = kernel.CreateFileMapping(kMappingName, kBlockSize);
  check.True(30, "mapping created, and opened again by name", IsSet(mapping) && IsSet(again));
  auto* view = static_cast<std::uint8_t*>(kernel.MapViewOfFile(mapping, kBlockSize));
  auto* other = static_cast<std::uint8_t*>(kernel.MapViewOfFile(again, kBlockSize));
  check.True(31, "both mapped", view != nullptr && other != nullptr);
  if (view != nullptr && other != nullptr) {
    check.Equal(32, "a fresh block is zero", static_cast<int>(view[kBlockSize - 1]), 0);
    view[0] = 0x5A;
    view[kBlockSize - 1] = 0xA5;
    check.True(33, "one block behind both names",
               other[0] == 0x5A && other[kBlockSize - 1] == 0xA5);
  }
  DWORD flags = 0;
  GetHandleInformation(ToHandle(mapping), &flags);
  check.True(34, "the handle is inheritable", (flags & HANDLE_FLAG_INHERIT) != 0);
  PACL dacl = reinterpret_cast<PACL>(1);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      GetSecurityInfo(ToHandle(mapping), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                      nullptr, &dacl, nullptr, &descriptor);
  check.Equal(35, "its security can be read", status, static_cast<DWORD>(ERROR_SUCCESS));
  check.True(36, "a null access list: everyone may open it", dacl == nullptr);
  if (descriptor != nullptr) LocalFree(descriptor);
  check.True(37, "views unmapped", kernel.UnmapViewOfFile(view) && kernel.UnmapViewOfFile(other));
  kernel.CloseHandle(again);
  kernel.CloseHandle(mapping);
}

void CheckLibraries(Checks& check, Kernel& kernel) {
  const Module library = kernel.LoadLibrary("kernel32.dll");
  check.True(40, "a system library loads", IsSet(library));
  check.True(41, "an entry it has", kernel.HasProcedure(library, "GetTickCount"));
  check.True(42, "an entry it lacks", !kernel.HasProcedure(library, "HidHostNoSuchEntry"));
  check.True(43, "no library, no entry", !kernel.HasProcedure(Module::None, "GetTickCount"));
  check.True(44, "freed", kernel.FreeLibrary(library));
  check.True(45, "a missing library does not load",
             !IsSet(kernel.LoadLibrary("hidhost-no-such-library.dll")));
}

}  // namespace

int CheckKernel() {
  Checks check("kernel");
  Win32Platform platform;
  CheckMutexes(check, platform.kernel);
  CheckWaitsAndSemaphores(check, platform.kernel);
  CheckThreads(check, platform.kernel);
  CheckMapping(check, platform.kernel);
  CheckLibraries(check, platform.kernel);
  return check.Failures();
}

}  // namespace hidhost::platform::win32::checks
