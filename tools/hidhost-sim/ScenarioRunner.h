// Runs a scenario's directives against the host on a simulated desktop and
// prints each run directive with the trace lines it caused.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Scenario.h"
#include "app/HostApp.h"
#include "platform/record/Recorder.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::simtool {

class ScenarioRunner {
 public:
  explicit ScenarioRunner(std::ostream& out) : out_(out) {}
  ~ScenarioRunner();
  ScenarioRunner(const ScenarioRunner&) = delete;
  ScenarioRunner& operator=(const ScenarioRunner&) = delete;

  void Run(const std::vector<Directive>& directives);
  // The first host started is recorded into folder, as HidHost.exe --record does.
  void RecordFirstHostInto(std::string folder) { recordFolder_ = std::move(folder); }

 private:
  // One process of the host's executable, as the framework runs it.
  struct HostProcess {
    sim::SimProcess* process = nullptr;
    std::unique_ptr<record::Recorder> recorder;  // outlives the app that runs on it
    std::unique_ptr<app::HostApp> app;
    bool ended = false;
  };

  void SetUp(const Directive& directive);
  void Perform(const Directive& directive);
  void StartHost(bool mayBecomeCurrent);
  // Sends to the running host's window, on its window thread, then settles.
  void SendToHost(std::uint32_t message, platform::WParam wParam, platform::LParam lParam);
  // Lets every thread finish and every message arrive; ends the processes that quit.
  void Settle();
  void Finish(HostProcess& host, int quitCode);
  HostProcess* RunningHost();
  void PrintTrace();
  void ShutDownQuietly();

  std::ostream& out_;
  sim::SimDesktop desktop_;
  std::vector<std::unique_ptr<HostProcess>> hosts_;
  HostProcess* current_ = nullptr;  // the host that the run directives address
  std::string recordFolder_;        // empty: nothing is recorded
  bool recorded_ = false;
};

}  // namespace hidhost::simtool
