// Settings work of the window thread on the null platform: the start-up
// load, the application to the system, and the shared block's copies that
// each update notice of the configuration program costs.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "EventStreams.h"
#include "platform/Constants.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsLoader.h"
#include "settings/SharedSettingsBlock.h"
#include "settings/SystemMouseSettings.h"
#include "support/NullPlatform.h"

namespace hidhost::bench {

namespace {

constexpr platform::Hwnd kHostWindow = static_cast<platform::Hwnd>(0x9000);
constexpr const char* kMouseKeyPath = "HKEY_CURRENT_USER\\Control Panel\\Mouse";

void BM_LoadSettings_NullPlatform(benchmark::State& state) {
  NullPlatform platform;
  settings::MouseSettings record{};
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    settings::LoadSettings(platform.Get(), record);
    benchmark::DoNotOptimize(record);
  }
  allocations.Report(state);
}

void BM_ApplySystemMouseSettings_NullPlatform(benchmark::State& state) {
  NullPlatform platform;
  settings::RegistryKey mouseKey(platform.Get().registry);
  mouseKey.Open(kMouseKeyPath, platform::kKeyAllAccess);
  settings::LiveSettings live(DefaultSettings());
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    settings::ApplySystemMouseSettings(platform.Get(), kHostWindow, mouseKey, live);
  }
  allocations.Report(state);
}

// An update notice: the block read under its mutex into the live record.
void BM_SharedBlockReload_NullPlatform(benchmark::State& state) {
  NullPlatform platform;
  settings::SharedSettingsBlock block(platform.Get());
  block.CreateMutex();
  if (!block.Create()) {
    state.SkipWithError("no view of the null block");
    return;
  }
  block.Write(DefaultSettings());
  settings::LiveSettings live(DefaultSettings());
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    settings::MouseSettings record = live.Snapshot();
    if (block.Read(record) == 1) live.Replace(record);
  }
  allocations.Report(state);
}

// The start-up's publication: the live record copied into the block.
void BM_SharedBlockPublish_NullPlatform(benchmark::State& state) {
  NullPlatform platform;
  settings::SharedSettingsBlock block(platform.Get());
  block.CreateMutex();
  if (!block.Create()) {
    state.SkipWithError("no view of the null block");
    return;
  }
  const settings::LiveSettings live(DefaultSettings());
  const AllocationsPerIteration allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(block.Write(live.Snapshot()));
  }
  allocations.Report(state);
}

}  // namespace

BENCHMARK(BM_LoadSettings_NullPlatform);
BENCHMARK(BM_ApplySystemMouseSettings_NullPlatform);
BENCHMARK(BM_SharedBlockReload_NullPlatform);
BENCHMARK(BM_SharedBlockPublish_NullPlatform);

}  // namespace hidhost::bench
