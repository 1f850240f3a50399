// Kernel objects, threads, shared memory and libraries.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

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

}  // namespace hidhost::platform::win32
