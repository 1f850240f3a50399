#include "ScenarioRunner.h"

#include <iostream>
#include <string>
#include <string_view>

#include "common/RecordedMessages.h"
#include "framework/Application.h"
#include "platform/Constants.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::simtool {

namespace {

constexpr std::uint32_t kTrayCallback = 0x040C;
constexpr platform::WParam kTrayIconId = 102;
constexpr platform::LParam kSessionId = 1;
constexpr platform::WParam kDbtDevNodesChanged = 0x0007;
// A host that keeps posting to itself for ever would otherwise never let a directive end.
constexpr int kMaximumSettleRounds = 100000;

void PrintLines(std::ostream& out, std::string_view text, std::string_view prefix) {
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out << prefix << line << '\n';
    at = end + 1;
  }
}

}  // namespace

ScenarioRunner::~ScenarioRunner() {
  ShutDownQuietly();
}

std::optional<std::string> ScenarioRunner::Run(const std::vector<Directive>& directives) {
  for (const Directive& directive : directives) {
    if (!directive.isRun) {
      SetUp(directive);
      continue;
    }
    out_ << "> " << directive.text << '\n';
    const std::optional<std::string> stuck = Perform(directive);
    PrintTrace();
    if (stuck) {
      out_.flush();
      return "line " + std::to_string(directive.line) + ": " + *stuck;
    }
  }
  out_.flush();
  return std::nullopt;
}

void ScenarioRunner::SetUp(const Directive& directive) {
  switch (directive.kind) {
    case DirectiveKind::Config:
      desktop_.AppendConfigLine(directive.argument);
      break;
    case DirectiveKind::Registry:
      desktop_.SetRegistryString(directive.argument, directive.name, directive.value);
      break;
    case DirectiveKind::RegistryLocked:
      desktop_.LockRegistryKey(directive.argument);
      break;
    case DirectiveKind::Window:
      desktop_.AddWindow(directive.window);
      break;
    case DirectiveKind::Cursor:
      desktop_.SetCursor({static_cast<std::int32_t>(directive.numbers[0]),
                          static_cast<std::int32_t>(directive.numbers[1])});
      break;
    case DirectiveKind::Driver:
      desktop_.SetDriver(directive.driver);
      break;
    case DirectiveKind::Mutex:
      desktop_.HoldMutex(directive.argument, directive.denied);
      break;
    case DirectiveKind::Fail:
      desktop_.FailCall(directive.argument,
                        directive.numbers.empty() ? -1 : static_cast<int>(directive.numbers[0]));
      break;
    case DirectiveKind::SwapButtons:
      desktop_.SetSwapButtons(directive.numbers[0] != 0);
      break;
    case DirectiveKind::Slow:
      desktop_.SetNotifyIconDelay(static_cast<std::uint32_t>(directive.numbers[0]));
      break;
    default:
      break;
  }
}

std::optional<std::string> ScenarioRunner::Perform(const Directive& directive) {
  const auto number = [&](std::size_t i, std::int64_t fallback = 0) {
    return i < directive.numbers.size() ? directive.numbers[i] : fallback;
  };
  switch (directive.kind) {
    case DirectiveKind::Start:
    case DirectiveKind::SecondInstance:
      StartHost();
      break;
    case DirectiveKind::Event:
      if (directive.pauseAfter) desktop_.PauseAfter(*directive.pauseAfter);
      desktop_.QueueEvent(static_cast<std::uint32_t>(number(0)));
      Settle();
      break;
    case DirectiveKind::Resume:
      desktop_.Resume(directive.pauseAfter);
      Settle();
      break;
    case DirectiveKind::Message:
      SendToHost(static_cast<std::uint32_t>(number(0)), static_cast<platform::WParam>(number(1)),
                 static_cast<platform::LParam>(number(2)));
      break;
    case DirectiveKind::Timer:
      // The tick comes when the system's timer would fire it, which moves the virtual clock.
      if (HostProcess* host = RunningHost();
          host != nullptr && host->process->AdvanceToTimerTick(
                                 host->app->MainWindow(), static_cast<std::uintptr_t>(number(0)))) {
        SendToHost(platform::kWmTimer, static_cast<platform::WParam>(number(0)), 0);
      }
      break;
    case DirectiveKind::Tray:
      SendToHost(kTrayCallback, kTrayIconId, static_cast<platform::LParam>(number(0)));
      break;
    case DirectiveKind::Command:
      SendToHost(platform::kWmCommand, static_cast<platform::WParam>(number(0)), 0);
      break;
    case DirectiveKind::MenuChoose:
      desktop_.ChooseMenuItem(static_cast<std::uint32_t>(number(0)));
      break;
    case DirectiveKind::Session:
      SendToHost(platform::kWmWtsSessionChange, static_cast<platform::WParam>(number(0)),
                 kSessionId);
      break;
    case DirectiveKind::DeviceChange:
      SendToHost(platform::kWmDeviceChange, kDbtDevNodesChanged, 0);
      break;
    case DirectiveKind::Shared:
      if (desktop_.WriteSharedBlock(directive.bytes) == sim::SharedWrite::MutexKept) {
        return "the host keeps the shared block's mutex: the configuration program would wait "
               "for ever";
      }
      Settle();
      break;
    case DirectiveKind::DumpShared: {
      const auto block = desktop_.ReadSharedBlock();
      desktop_.AppendTrace(
          "shared " + (block ? trace::HexBytes(block->data(), block->size()) : std::string("-")));
      break;
    }
    case DirectiveKind::DumpConfig:
      PrintTrace();
      PrintLines(out_, desktop_.ConfigFileText().value_or(""), "| ");
      break;
    case DirectiveKind::Close:
      if (HostProcess* host = RunningHost()) {
        host->process->PostToWindow(host->app->MainWindow(), platform::kWmClose, 0, 0);
        Settle();
      }
      break;
    default:
      break;
  }
  return std::nullopt;
}

void ScenarioRunner::StartHost() {
  auto host = std::make_unique<HostProcess>();
  host->process = &desktop_.StartProcess();
  platform::Platform* platform = &host->process->Platform();
  if (!recordFolder_.empty() && !recorded_) {
    recorded_ = true;
    record::RecordOptions options{
        recordFolder_, desktop_.ConfigFileText(), RecordedHostMessages(),
        [](const std::string& problem) { std::cerr << "hidhost-sim: " << problem << "\n"; }};
    host->recorder = std::make_unique<record::Recorder>(*platform, std::move(options));
    platform = &host->recorder->Platform();
  }
  host->app = std::make_unique<app::HostApp>(*platform);
  HostProcess& started = *host;
  hosts_.push_back(std::move(host));
  // A second copy leaves the running host addressed; once that has ended, the new one is.
  if (RunningHost() == nullptr) current_ = &started;

  // The executable's entry, as WinMain runs it (a recording included).
  started.process->RunMainThread([&started, platform] {
    const int exitCode = framework::RunApplication(*started.app, platform->windows);
    started.app.reset();
    if (started.recorder != nullptr) started.recorder->Finish(exitCode);
    return exitCode;
  });
  Settle();
}

void ScenarioRunner::SendToHost(std::uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) {
  HostProcess* host = RunningHost();
  if (host == nullptr) return;
  host->process->SendToWindow(host->app->MainWindow(), message, wParam, lParam);
  Settle();
}

void ScenarioRunner::Settle() {
  for (int round = 0; round < kMaximumSettleRounds; ++round) {
    desktop_.WaitUntilIdle();
    bool delivered = false;
    for (auto& host : hosts_) {
      if (host->process->Ended()) continue;
      delivered |= host->process->HasPendingMessages();
      // The main thread runs the exit hook and ends the process before it answers.
      delivered |= host->process->PumpMessages();
    }
    if (!delivered) return;
  }
}

ScenarioRunner::HostProcess* ScenarioRunner::RunningHost() {
  if (current_ == nullptr || current_->process->Ended() ||
      !platform::IsSet(current_->app->MainWindow())) {
    return nullptr;
  }
  return current_;
}

void ScenarioRunner::PrintTrace() {
  for (const auto& line : desktop_.TakeTrace()) out_ << line << '\n';
}

void ScenarioRunner::ShutDownQuietly() {
  desktop_.Resume(std::nullopt);
  for (auto& host : hosts_) {
    if (host->process->Ended()) continue;
    if (platform::IsSet(host->app->MainWindow())) {
      host->process->PostToWindow(host->app->MainWindow(), platform::kWmClose, 0, 0);
      Settle();
    }
    // A host that would not end is ended as the system ends a process.
    if (host->process->Ended()) continue;
    if (host->recorder != nullptr) host->recorder->Finish(0);
    host->process->EndProcess(0);
  }
  desktop_.TakeTrace();
}

}  // namespace hidhost::simtool
