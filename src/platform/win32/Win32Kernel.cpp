#include <array>
#include <memory>
#include <new>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// Kernel objects, threads, shared memory and libraries.
class Win32Kernel final : public Kernel {
 public:
  CreatedMutex CreateMutex(std::string_view name) override;
  bool ReleaseMutex(Handle mutex) override;
  Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override;
  bool ReleaseSemaphore(Handle semaphore, std::int32_t count) override;
  Handle CreateEvent(bool manualReset, bool initiallySet) override;
  bool SetEvent(Handle event) override;
  WaitResult WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override;
  WaitAnyResult WaitForMultipleObjects(std::span<const Handle> objects,
                                       std::uint32_t timeoutMs) override;
  bool CloseHandle(Handle object) override;

  Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry, void* parameter) override;

  Handle CreateFileMapping(std::string_view name, std::uint32_t size) override;
  void* MapViewOfFile(Handle mapping, std::uint32_t size) override;
  bool UnmapViewOfFile(void* view) override;

  Module LoadLibrary(std::string_view path) override;
  bool HasProcedure(Module module, std::string_view name) override;
  bool FreeLibrary(Module module) override;
  bool SetProcessInformation(const PowerThrottlingState& state) override;
};
namespace {

struct ThreadStart {
  Kernel::ThreadEntry entry;
  void* parameter;
};

// The thread's first function, with the system's calling convention: a
// lambda would not have it on 32-bit x86.
DWORD WINAPI RunThread(LPVOID raw) {
  const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
  return start->entry(start->parameter);
}

struct WaitOutcome {
  DWORD system;
  WaitResult result;
};

constexpr WaitOutcome kWaitOutcomes[] = {
    {WAIT_OBJECT_0, WaitResult::Signalled},
    {WAIT_ABANDONED, WaitResult::Abandoned},
    {WAIT_TIMEOUT, WaitResult::Timeout},
};

using LocalMemory = UniqueResource<LocalMemoryTraits<Win32Kernel>>;

}  // namespace

CreatedMutex Win32Kernel::CreateMutex(std::string_view name) {
  const std::string text(name);
  const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, text.c_str());
  const DWORD error = ::GetLastError();
  const bool existed = mutex != nullptr && error == ERROR_ALREADY_EXISTS;
  const bool denied = mutex == nullptr && error == ERROR_ACCESS_DENIED;
  return CreatedMutex{FromHandle(mutex), existed, denied};
}

bool Win32Kernel::ReleaseMutex(Handle mutex) {
  return ::ReleaseMutex(ToHandle(mutex));
}

Handle Win32Kernel::CreateSemaphore(std::int32_t initial, std::int32_t maximum) {
  return FromHandle(::CreateSemaphoreA(nullptr, initial, maximum, nullptr));
}

bool Win32Kernel::ReleaseSemaphore(Handle semaphore, std::int32_t count) {
  return ::ReleaseSemaphore(ToHandle(semaphore), count, nullptr);
}

Handle Win32Kernel::CreateEvent(bool manualReset, bool initiallySet) {
  return FromHandle(::CreateEventA(nullptr, manualReset, initiallySet, nullptr));
}

bool Win32Kernel::SetEvent(Handle event) {
  return ::SetEvent(ToHandle(event));
}

WaitResult Win32Kernel::WaitForSingleObject(Handle object, std::uint32_t timeoutMs) {
  const DWORD outcome = ::WaitForSingleObject(ToHandle(object), timeoutMs);
  for (const WaitOutcome& row : kWaitOutcomes) {
    if (row.system == outcome) return row.result;
  }
  return WaitResult::Failed;
}

WaitAnyResult Win32Kernel::WaitForMultipleObjects(std::span<const Handle> objects,
                                                  std::uint32_t timeoutMs) {
  std::array<HANDLE, MAXIMUM_WAIT_OBJECTS> handles{};
  if (objects.empty() || objects.size() > handles.size()) return {};
  for (std::size_t i = 0; i < objects.size(); ++i) handles[i] = ToHandle(objects[i]);
  const DWORD count = static_cast<DWORD>(objects.size());
  const DWORD outcome = ::WaitForMultipleObjects(count, handles.data(), FALSE, timeoutMs);
  if (outcome < WAIT_OBJECT_0 + count) return {WaitResult::Signalled, outcome - WAIT_OBJECT_0};
  if (outcome >= WAIT_ABANDONED && outcome < WAIT_ABANDONED + count) {
    return {WaitResult::Abandoned, outcome - WAIT_ABANDONED};
  }
  if (outcome == WAIT_TIMEOUT) return {WaitResult::Timeout, 0};
  return {};
}

bool Win32Kernel::CloseHandle(Handle object) {
  return ::CloseHandle(ToHandle(object));
}

Handle Win32Kernel::CreateThread(std::uint32_t stackSize, ThreadEntry entry, void* parameter) {
  std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{entry, parameter});
  if (!start) return Handle::None;
  DWORD threadId = 0;
  const HANDLE thread = ::CreateThread(nullptr, stackSize, RunThread, start.get(), 0, &threadId);
  if (thread == nullptr) return Handle::None;
  start.release();  // the thread owns it now
  return FromHandle(thread);
}

Handle Win32Kernel::CreateFileMapping(std::string_view name, std::uint32_t size) {
  // A present but empty access list lets every account open the block,
  // whichever account the configuration program runs under.
  LocalMemory descriptor(*this, ::LocalAlloc(LMEM_ZEROINIT, SECURITY_DESCRIPTOR_MIN_LENGTH));
  if (!descriptor) return Handle::None;
  if (!::InitializeSecurityDescriptor(descriptor.Get(), SECURITY_DESCRIPTOR_REVISION)) {
    return Handle::None;
  }
  if (!::SetSecurityDescriptorDacl(descriptor.Get(), TRUE, nullptr, FALSE)) return Handle::None;
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = descriptor.Get();
  attributes.bInheritHandle = TRUE;
  const std::string text(name);
  return FromHandle(::CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, size,
                                         text.c_str()));
}

void* Win32Kernel::MapViewOfFile(Handle mapping, std::uint32_t size) {
  return ::MapViewOfFile(ToHandle(mapping), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
}

bool Win32Kernel::UnmapViewOfFile(void* view) {
  return ::UnmapViewOfFile(view);
}

Module Win32Kernel::LoadLibrary(std::string_view path) {
  return FromModule(::LoadLibraryA(std::string(path).c_str()));
}

bool Win32Kernel::HasProcedure(Module module, std::string_view name) {
  if (!IsSet(module)) return false;
  return ::GetProcAddress(ToModule(module), std::string(name).c_str()) != nullptr;
}

bool Win32Kernel::FreeLibrary(Module module) {
  return ::FreeLibrary(ToModule(module));
}

namespace {

// Windows 8 and later; the host also starts on systems without the call.
// The class value and the state's layout are fixed by the system's ABI and
// spelled out here, so that the build does not depend on how recent a
// Windows version the headers are told to target.
constexpr int kProcessPowerThrottlingClass = 4;
struct ProcessPowerThrottlingState {
  ULONG Version;
  ULONG ControlMask;
  ULONG StateMask;
};
static_assert(sizeof(ProcessPowerThrottlingState) == 12);
using SetProcessInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

}  // namespace

bool Win32Kernel::SetProcessInformation(const PowerThrottlingState& state) {
  const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
  if (kernel32 == nullptr) return false;
  // The detour through void (*)() is the conversion that the compiler accepts
  // between unrelated function types.
  const auto setInformation = reinterpret_cast<SetProcessInformationFunction>(
      reinterpret_cast<void (*)()>(::GetProcAddress(kernel32, "SetProcessInformation")));
  if (setInformation == nullptr) return false;
  ProcessPowerThrottlingState value{state.version, state.controlMask, state.stateMask};
  return setInformation(::GetCurrentProcess(), kProcessPowerThrottlingClass, &value,
                        sizeof(value)) != 0;
}

std::unique_ptr<Kernel> MakeKernel() {
  return std::make_unique<Win32Kernel>();
}

}  // namespace hidhost::platform::win32
