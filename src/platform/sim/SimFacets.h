// The platform's facets as one simulated process sees the world. Each call
// takes the world's lock for its own length, writes its trace line, consults
// the fault table and acts on the world.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace hidhost::sim {

class World;
class SimProcessImpl;

class FacetBase {
 public:
  FacetBase(World& world, SimProcessImpl& process) : world_(world), process_(process) {}

 protected:
  World& world_;
  SimProcessImpl& process_;
};

// Each facet is made by the file that implements it.
std::unique_ptr<platform::Input> MakeSimInput(World& world, SimProcessImpl& process);
std::unique_ptr<platform::Windows> MakeSimWindows(World& world, SimProcessImpl& process);
std::unique_ptr<platform::Timers> MakeSimTimers(World& world, SimProcessImpl& process);
std::unique_ptr<platform::Registry> MakeSimRegistry(World& world, SimProcessImpl& process);
std::unique_ptr<platform::ProfileFiles> MakeSimProfileFiles(World& world, SimProcessImpl& process);
std::unique_ptr<platform::Kernel> MakeSimKernel(World& world, SimProcessImpl& process);
std::unique_ptr<platform::Shell> MakeSimShell(World& world, SimProcessImpl& process);
std::unique_ptr<platform::DriverDevice> MakeSimDriverDevice(World& world, SimProcessImpl& process);

}  // namespace hidhost::sim
