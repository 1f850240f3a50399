#include <memory>

#include "platform/Constants.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimKernel final : public platform::Kernel, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::CreatedMutex CreateMutex(std::string_view name) override;
  bool ReleaseMutex(platform::Handle mutex) override;
  platform::Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override;
  bool ReleaseSemaphore(platform::Handle semaphore, std::int32_t count) override;
  platform::Handle CreateEvent(bool manualReset, bool initiallySet) override;
  bool SetEvent(platform::Handle event) override;
  platform::WaitAnyResult WaitForMultipleObjects(std::span<const platform::Handle> objects,
                                                 std::uint32_t timeoutMs) override;
  platform::WaitResult WaitForSingleObject(platform::Handle object,
                                           std::uint32_t timeoutMs) override;
  bool CloseHandle(platform::Handle object) override;
  platform::Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry,
                                void* parameter) override;
  platform::Handle CreateFileMapping(std::string_view name, std::uint32_t size) override;
  void* MapViewOfFile(platform::Handle mapping, std::uint32_t size) override;
  bool UnmapViewOfFile(void* view) override;
  platform::Module LoadLibrary(std::string_view path) override;
  bool HasProcedure(platform::Module module, std::string_view name) override;
  bool FreeLibrary(platform::Module module) override;
  bool SetProcessInformation(const platform::PowerThrottlingState& state) override;
};

namespace {

platform::Handle ToHandle(std::uintptr_t value) {
  return static_cast<platform::Handle>(value);
}

}  // namespace

platform::CreatedMutex SimKernel::CreateMutex(std::string_view name) {
  Lock lock(world_.mutex);
  auto existing = name.empty() ? nullptr : world_.FindNamed(std::string(name));
  if (existing != nullptr && existing->deniedOutside) {
    world_.Trace(trace::CreateMutexDeniedLine(name));
    platform::CreatedMutex denied;
    denied.accessDenied = true;
    return denied;
  }
  world_.Trace(trace::CreateMutexLine(name, existing != nullptr));
  if (world_.Fails(Call::CreateMutex)) return {};
  if (existing != nullptr && existing->kind != ObjectKind::Mutex) return {};  // another kind
  auto object = existing;
  if (object == nullptr) {
    object = std::make_shared<KernelObject>(ObjectKind::Mutex);
    object->name = std::string(name);
    world_.AddNamed(object);
  }
  return {ToHandle(process_.AddKernelHandle(object)), existing != nullptr};
}

bool SimKernel::ReleaseMutex(platform::Handle mutex) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::ReleaseMutex)) return false;
  auto object = process_.Object(mutex, ObjectKind::Mutex);
  if (object == nullptr || object->owner != std::this_thread::get_id()) return false;
  world_.ReleaseOwnedMutex(*object);
  return true;
}

platform::Handle SimKernel::CreateSemaphore(std::int32_t initial, std::int32_t maximum) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreateSemaphore)) return platform::Handle::None;
  if (maximum <= 0 || initial < 0 || initial > maximum) return platform::Handle::None;
  auto object = std::make_shared<KernelObject>(ObjectKind::Semaphore);
  object->count = initial;
  object->maximum = maximum;
  return ToHandle(process_.AddKernelHandle(std::move(object)));
}

bool SimKernel::ReleaseSemaphore(platform::Handle semaphore, std::int32_t count) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::ReleaseSemaphore)) return false;
  auto object = process_.Object(semaphore, ObjectKind::Semaphore);
  if (object == nullptr || count <= 0 || count > object->maximum - object->count) return false;
  object->count += count;
  world_.Notify();
  return true;
}

platform::Handle SimKernel::CreateEvent(bool manualReset, bool initiallySet) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreateEvent)) return platform::Handle::None;
  auto object = std::make_shared<KernelObject>(ObjectKind::Event);
  object->manualReset = manualReset;
  object->set = initiallySet;
  return ToHandle(process_.AddKernelHandle(std::move(object)));
}

bool SimKernel::SetEvent(platform::Handle event) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::SetEvent)) return false;
  auto object = process_.Object(event, ObjectKind::Event);
  if (object == nullptr) return false;
  object->set = true;
  world_.Notify();
  return true;
}

platform::WaitResult SimKernel::WaitForSingleObject(platform::Handle object,
                                                    std::uint32_t timeoutMs) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::WaitForSingleObject)) return platform::WaitResult::Failed;
  auto target = process_.Object(object);
  if (target == nullptr) return platform::WaitResult::Failed;
  return world_.Wait(lock, target, timeoutMs);
}

platform::WaitAnyResult SimKernel::WaitForMultipleObjects(std::span<const platform::Handle> objects,
                                                          std::uint32_t timeoutMs) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::WaitForMultipleObjects)) return {};
  std::vector<std::shared_ptr<KernelObject>> targets;
  for (const platform::Handle handle : objects) {
    auto target = process_.Object(handle);
    if (target == nullptr) return {};
    targets.push_back(std::move(target));
  }
  return world_.WaitAny(lock, targets, timeoutMs);
}

bool SimKernel::CloseHandle(platform::Handle object) {
  Lock lock(world_.mutex);
  auto target = process_.Object(object);
  if (target != nullptr && target->kind == ObjectKind::Device) {
    world_.Trace(trace::CloseDeviceLine(target->name));
  }
  if (world_.Fails(Call::CloseHandle) || target == nullptr) return false;
  process_.kernelHandles.erase(platform::ValueOf(object));
  if (target->kind == ObjectKind::Device) world_.driver.Closed();
  if (target->kind == ObjectKind::File) world_.files.Close(target->openId);
  world_.Notify();
  return true;
}

platform::Handle SimKernel::CreateThread(std::uint32_t /*stackSize*/, ThreadEntry entry,
                                         void* parameter) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreateThread)) return platform::Handle::None;
  auto object = std::make_shared<KernelObject>(ObjectKind::Thread);
  auto record = world_.threads.Add(object, &process_);
  record->thread = std::thread([world = world_.shared_from_this(), record, entry, parameter] {
    {
      Lock started(world->mutex);
      record->id = std::this_thread::get_id();
      world->Notify();
    }
    entry(parameter);
    Lock ended(world->mutex);
    world->EndThread(*record);
  });
  return ToHandle(process_.AddKernelHandle(std::move(object)));
}

platform::Handle SimKernel::CreateFileMapping(std::string_view name, std::uint32_t size) {
  Lock lock(world_.mutex);
  world_.Trace(trace::CreateFileMappingLine(name, size));
  // The backend makes the block's security descriptor first; any step of it
  // failing ends the call before the mapping is asked for.
  if (world_.Fails(Call::LocalAlloc) || world_.Fails(Call::InitializeSecurityDescriptor) ||
      world_.Fails(Call::SetSecurityDescriptorDacl) || world_.Fails(Call::CreateFileMapping)) {
    return platform::Handle::None;
  }
  auto object = name.empty() ? nullptr : world_.FindNamed(std::string(name));
  if (object != nullptr && object->kind != ObjectKind::Mapping) return platform::Handle::None;
  if (object == nullptr) {
    if (size == 0) return platform::Handle::None;
    object = std::make_shared<KernelObject>(ObjectKind::Mapping);
    object->name = std::string(name);
    object->size = size;
    object->bytes =
        std::make_unique<std::uint8_t[]>(size);  // zero-filled, as the paging file gives
    world_.AddNamed(object);
  }
  return ToHandle(process_.AddKernelHandle(std::move(object)));
}

void* SimKernel::MapViewOfFile(platform::Handle mapping, std::uint32_t size) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::MapViewOfFile)) return nullptr;
  auto object = process_.Object(mapping, ObjectKind::Mapping);
  if (object == nullptr || size > object->size) return nullptr;
  void* view = object->bytes.get();
  process_.views.emplace_back(view, std::move(object));
  return view;
}

bool SimKernel::UnmapViewOfFile(void* view) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::UnmapViewOfFile)) return false;
  auto& views = process_.views;
  for (auto it = views.begin(); it != views.end(); ++it) {
    if (it->first == view) {
      views.erase(it);
      return true;
    }
  }
  return false;
}

platform::Module SimKernel::LoadLibrary(std::string_view path) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::LoadLibrary)) return platform::Module::None;
  const LibraryInfo* library = world_.libraries.Find(path);
  if (library == nullptr) return platform::Module::None;
  ++process_.modules[library->base];
  return static_cast<platform::Module>(library->base);
}

bool SimKernel::HasProcedure(platform::Module module, std::string_view name) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetProcAddress)) return false;
  if (!process_.modules.contains(platform::ValueOf(module))) return false;
  const LibraryInfo* library = world_.libraries.AtBase(platform::ValueOf(module));
  return library != nullptr && library->procedures.contains(std::string(name));
}

bool SimKernel::SetProcessInformation(const platform::PowerThrottlingState& state) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetProcessInformationLine(state));
  if (world_.Fails(Call::SetProcessInformation)) return false;
  return state.version == platform::kPowerThrottlingCurrentVersion;
}

bool SimKernel::FreeLibrary(platform::Module module) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::FreeLibrary)) return false;
  auto it = process_.modules.find(platform::ValueOf(module));
  if (it == process_.modules.end()) return false;
  if (--it->second == 0) process_.modules.erase(it);
  return true;
}

std::unique_ptr<platform::Kernel> MakeSimKernel(World& world, SimProcessImpl& process) {
  return std::make_unique<SimKernel>(world, process);
}

}  // namespace hidhost::sim
