// Runs a scenario's directives against the host on a simulated desktop and
// prints each run directive with the trace lines it caused.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Scenario.h"
#include "app/HostApp.h"
#include "platform/sim/SimDesktop.h"
#include "record/Recorder.h"

namespace hidhost::simtool {

class ScenarioRunner {
 public:
  explicit ScenarioRunner(std::ostream& out) : out_(out) {}
  ~ScenarioRunner();
  ScenarioRunner(const ScenarioRunner&) = delete;
  ScenarioRunner& operator=(const ScenarioRunner&) = delete;

  // The trace of every directive up to the end, or up to one that cannot
  // complete (the message says why; the trace printed so far stands).
  std::optional<std::string> Run(const std::vector<Directive>& directives);
  // The first host started is recorded into folder, as HidHost.exe --record does.
  void RecordFirstHostInto(std::string folder) { recordFolder_ = std::move(folder); }

 private:
  // One process of the host's executable. Its main thread destroys the
  // application object once the exit hook has run, just before the process
  // ends: ask for the main window only while the process runs.
  struct HostProcess {
    sim::SimProcess* process = nullptr;
    std::unique_ptr<record::Recorder> recorder;  // outlives the app that runs on it
    std::unique_ptr<app::HostApp> app;
  };

  void SetUp(const Directive& directive);
  std::optional<std::string> Perform(const Directive& directive);
  void StartHost();
  // Sends to the running host's window, on its window thread, then settles.
  void SendToHost(std::uint32_t message, platform::WParam wParam, platform::LParam lParam);
  // Lets every thread finish and every message arrive, the processes that quit ending.
  void Settle();
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
