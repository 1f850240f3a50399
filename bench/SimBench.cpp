// The same work as the null-platform benchmarks, on the simulated desktop:
// here the figures include the simulator's own calls (its locks, its window
// map, its trace lines, its files on disk), so they bound the host's cost
// from above. The trace is taken and dropped as it grows.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "BenchSupport.h"
#include "EventPath.h"
#include "EventStreams.h"
#include "actions/HorizontalScroll.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsLoader.h"
#include "settings/SharedSettingsBlock.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::bench {

namespace {

constexpr platform::Hwnd kHostWindow = static_cast<platform::Hwnd>(sim::kFirstProcessWindow);
constexpr const char* kMouseKeyPath = "HKEY_CURRENT_USER\\Control Panel\\Mouse";
constexpr std::uint64_t kTraceDropInterval = 256;

// Scenario windows take the ids 1, 2, 3, ... in layout order.
std::vector<platform::Hwnd> AddSimLayout(sim::SimDesktop& desktop,
                                         std::span<const WindowRow> rows) {
  std::uintptr_t nextId = 1;
  return AddLayout(rows, [&](const WindowRow& row, platform::Hwnd parent) {
    sim::WindowSpec shape;
    shape.id = nextId++;
    shape.className = std::string(row.className);
    shape.parent = platform::ValueOf(parent);
    shape.rect = row.rect;
    shape.style = row.style;
    desktop.AddWindow(shape);
    return static_cast<platform::Hwnd>(shape.id);
  });
}

// Drops the trace every so often, so that it neither grows without end nor
// costs a pause of the timer each iteration.
class TraceDropper {
 public:
  explicit TraceDropper(sim::SimDesktop& desktop) : desktop_(desktop) {}
  void Tick() {
    if (++count_ % kTraceDropInterval == 0) desktop_.TakeTrace();
  }

 private:
  sim::SimDesktop& desktop_;
  std::uint64_t count_ = 0;
};

void BM_DecodeDispatch_Sim(benchmark::State& state) {
  const EventStream stream = AllStreams().at(static_cast<std::size_t>(state.range(0)));
  sim::SimDesktop desktop;
  AddSimLayout(desktop, kDocumentView);
  desktop.SetCursor(kDocumentCursor);
  platform::Platform& platform = desktop.StartProcess().Platform();
  EventPath path(platform, stream.settings, kHostWindow);
  TraceDropper dropper(desktop);
  const std::size_t n = stream.words.size();
  std::size_t next = 0;
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    path.decoder.Decode(stream.words[next]);
    next = next + 1 == n ? 0 : next + 1;
    dropper.Tick();
  }
  allocations.Report(state);
  state.SetLabel(std::string(stream.name));
}

// The simulator finds a sibling by searching its parent's child list, so a
// walk over N siblings costs it N squared: the figures show the simulator's
// growth on top of the host's.
void BM_ScrollSearch_Sim_BarFoundLast(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const SiblingLayout layout = ManySiblings(count, true);
  sim::SimDesktop desktop;
  AddSimLayout(desktop, layout.rows);
  desktop.SetCursor(kSiblingCursor);
  platform::Platform& platform = desktop.StartProcess().Platform();
  const settings::LiveSettings settings(DefaultSettings());
  TraceDropper dropper(desktop);
  std::int32_t step = 1;
  for (auto _ : state) {
    actions::ScrollHorizontally(platform, settings, step);
    step = -step;
    dropper.Tick();
  }
  state.counters["windows_visited"] = static_cast<double>(layout.windowsVisited);
}

void SeedSettings(sim::SimDesktop& desktop) {
  desktop.SetRegistryString("Control Panel\\Mouse", "DoubleClickSpeed", "500");
  desktop.SetRegistryString("Control Panel\\Mouse", "SwapMouseButtons", "0");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseSensitivity", "10");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseSpeed", "1");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseThreshold1", "6");
  desktop.SetRegistryString("Control Panel\\Mouse", "MouseThreshold2", "10");
  desktop.SetRegistryString("Control Panel\\Desktop", "WheelScrollLines", "3");
  // The file as the configuration program leaves it: every key present, the
  // assignments as hexadecimal bytes followed by their checksum.
  for (const char* line : {"[Setting]",
                           "HScrollWheelSpeed=3",
                           "MainSens=10",
                           "XYSensFlag=1",
                           "XSens=10",
                           "YSens=10",
                           "OTFStatus=1",
                           "DpiValue0=6",
                           "DpiValue1=12",
                           "DpiValue2=1",
                           "PRValue=3",
                           "OTGSpeed=10",
                           "LightSwitch=1",
                           "LightEffectType=0",
                           "MouseColor=0",
                           "Device=1",
                           "ButtonInfo0=0101000002",
                           "ButtonInfo1=0202000004",
                           "ButtonInfo2=0303000006",
                           "ButtonInfo3=040C000010",
                           "ButtonInfo4=050B000010",
                           "ButtonInfo5=060F000015",
                           "ButtonInfo6=0710000017"}) {
    desktop.AppendConfigLine(line);
  }
}

void BM_LoadSettings_Sim(benchmark::State& state) {
  sim::SimDesktop desktop;
  SeedSettings(desktop);
  platform::Platform& platform = desktop.StartProcess().Platform();
  settings::MouseSettings record{};
  TraceDropper dropper(desktop);
  for (auto _ : state) {
    settings::LoadSettings(platform, record);
    benchmark::DoNotOptimize(record);
    dropper.Tick();
  }
}

void BM_ApplySystemMouseSettings_Sim(benchmark::State& state) {
  sim::SimDesktop desktop;
  SeedSettings(desktop);
  platform::Platform& platform = desktop.StartProcess().Platform();
  settings::RegistryKey mouseKey(platform.registry);
  mouseKey.Open(kMouseKeyPath, platform::kKeyAllAccess);
  settings::LiveSettings live(DefaultSettings());
  TraceDropper dropper(desktop);
  for (auto _ : state) {
    settings::ApplySystemMouseSettings(platform, platform::Hwnd::None, mouseKey, live);
    dropper.Tick();
  }
}

void BM_SharedBlockReload_Sim(benchmark::State& state) {
  sim::SimDesktop desktop;
  platform::Platform& platform = desktop.StartProcess().Platform();
  settings::SharedSettingsBlock block(platform);
  block.CreateMutex();
  if (!block.Create()) {
    state.SkipWithError("the simulated block did not map");
    return;
  }
  block.Write(DefaultSettings());
  settings::LiveSettings live(DefaultSettings());
  TraceDropper dropper(desktop);
  for (auto _ : state) {
    settings::MouseSettings record = live.Snapshot();
    if (block.Read(record) == 1) live.Replace(record);
    dropper.Tick();
  }
}

void BM_SharedBlockPublish_Sim(benchmark::State& state) {
  sim::SimDesktop desktop;
  platform::Platform& platform = desktop.StartProcess().Platform();
  settings::SharedSettingsBlock block(platform);
  block.CreateMutex();
  if (!block.Create()) {
    state.SkipWithError("the simulated block did not map");
    return;
  }
  const settings::LiveSettings live(DefaultSettings());
  TraceDropper dropper(desktop);
  for (auto _ : state) {
    benchmark::DoNotOptimize(block.Write(live.Snapshot()));
    dropper.Tick();
  }
}

}  // namespace

BENCHMARK(BM_DecodeDispatch_Sim)->DenseRange(0, kStreamCount - 1);
BENCHMARK(BM_ScrollSearch_Sim_BarFoundLast)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_LoadSettings_Sim);
BENCHMARK(BM_ApplySystemMouseSettings_Sim);
BENCHMARK(BM_SharedBlockReload_Sim);
BENCHMARK(BM_SharedBlockPublish_Sim);

}  // namespace hidhost::bench
