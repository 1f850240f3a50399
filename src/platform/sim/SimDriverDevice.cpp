#include <cstring>
#include <memory>

#include "contracts/DriverProtocol.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::sim {

class SimDriverDevice final : public platform::DriverDevice, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                        std::uint32_t disposition) override;
  bool IoControl(platform::Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                 void* out, std::uint32_t outSize) override;
  bool Close(platform::Handle device) override;
};

namespace {

std::uint32_t Word(const void* bytes) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

platform::Handle SimDriverDevice::Open(std::string_view name, std::uint32_t access,
                                       std::uint32_t share, std::uint32_t disposition) {
  Lock lock(world_.mutex);
  const bool opens = !world_.Fails(Call::CreateFile) && world_.driver.Opens(name);
  world_.Trace(trace::OpenDeviceLine(name, access, share, disposition, opens));
  if (!opens) return platform::Handle::None;
  auto object = std::make_shared<KernelObject>(ObjectKind::Device);
  object->name = std::string(name);
  world_.driver.Opened();
  return static_cast<platform::Handle>(process_.AddKernelHandle(std::move(object)));
}

bool SimDriverDevice::IoControl(platform::Handle device, std::uint32_t code, const void* in,
                                std::uint32_t inSize, void* out, std::uint32_t outSize) {
  Lock lock(world_.mutex);
  const bool failed = world_.Fails(Call::DeviceIoControl);
  const bool isDevice = process_.Object(device, ObjectKind::Device) != nullptr;
  const std::string inText = trace::HexBytes(in, inSize);  // before the answer overwrites it
  bool ok = false;
  if (!failed && isDevice) {
    auto& driver = world_.driver;
    switch (code) {
      case contracts::kIoctlRegisterSemaphore:
        ok = in != nullptr && inSize == 4 &&
             driver.Register(
                 process_.Object(static_cast<platform::Handle>(Word(in)), ObjectKind::Semaphore));
        break;
      case contracts::kIoctlUnregister:
        driver.Unregister();
        ok = driver.Mode() != DriverMode::Absent;
        break;
      case contracts::kIoctlReadEvent: {
        // A held read blocks like a kernel wait, so the desktop can tell the thread is stuck.
        if (!driver.ReadGate()->set) world_.Wait(lock, driver.ReadGate(), platform::kInfinite);
        std::uint32_t word = 0;
        ok = out != nullptr && outSize >= 4 && driver.ReadEvent(word);
        if (ok) {
          std::memcpy(out, &word, sizeof word);
          world_.calls.CountEventRead();
        }
        break;
      }
      case contracts::kIoctlSetPassThroughMask:
        ok = in != nullptr && inSize >= 4 && driver.Mode() != DriverMode::Absent;
        if (ok) driver.SetMask(Word(in));
        break;
      default:
        ok = false;
        break;
    }
  }
  // The event read is the `event` directive's own line.
  if (code != trace::kEventReadCode) {
    world_.Trace(trace::DeviceIoControlLine(code, inText, outSize, ok));
  }
  return ok;
}

bool SimDriverDevice::Close(platform::Handle device) {
  Lock lock(world_.mutex);
  auto object = process_.Object(device);
  if (object != nullptr && object->kind == ObjectKind::Device) {
    world_.Trace(trace::CloseDeviceLine(object->name));
  }
  if (world_.Fails(Call::CloseHandle) || object == nullptr) return false;
  process_.kernelHandles.erase(platform::ValueOf(device));
  if (object->kind == ObjectKind::Device) world_.driver.Closed();
  if (object->kind == ObjectKind::File) world_.files.Close(object->openId);
  return true;
}

std::unique_ptr<platform::DriverDevice> MakeSimDriverDevice(World& world, SimProcessImpl& process) {
  return std::make_unique<SimDriverDevice>(world, process);
}

}  // namespace hidhost::sim
