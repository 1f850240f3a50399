// A simulated desktop for the configuration program's logic: config.ini on
// the simulated profile files and, when a test starts one, the real host
// reached through the simulated shared block and window messages.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/LiveApply.h"
#include "platform/sim/SimDesktop.h"
#include "support/HostHarness.h"

namespace hidhost::editor::testing {

using hidhost::testing::HostHarness;
using hidhost::testing::kHostHwnd;

// The host as Option.exe reaches it, over the simulated block and windows.
class SimHostLink final : public HostLink {
 public:
  explicit SimHostLink(HostHarness& host) : host_(host) {}
  BlockWrite WriteBlock(const settings::MouseSettings& record) override {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    switch (host_.Desktop().WriteSharedBlock({bytes, settings::kMouseSettingsSize})) {
      case sim::SharedWrite::Written:
        return BlockWrite::Written;
      case sim::SharedWrite::MutexKept:
        return BlockWrite::Busy;
      case sim::SharedWrite::NoBlock:
        return BlockWrite::NoHost;
    }
    return BlockWrite::NoHost;
  }
  bool ReadBlock(settings::MouseSettings& record) override {
    const auto bytes = host_.Desktop().ReadSharedBlock();
    if (!bytes) return false;
    std::memcpy(&record, bytes->data(), bytes->size());
    return true;
  }
  bool Notify(std::uint32_t notice) override {
    notices.push_back(notice);
    return host_.Send(notice);
  }
  std::vector<std::uint32_t> notices;

 private:
  HostHarness& host_;
};

class EditorWorld : public ::testing::Test {
 protected:
  void Config(std::initializer_list<const char*> lines) {
    for (const char* line : lines) Desktop().AppendConfigLine(line);
  }
  sim::SimDesktop& Desktop() { return host.Desktop(); }
  // Option.exe's own process: its profile calls are not the host's.
  ConfigStore& Store() {
    if (!store_) {
      optionProcess_ = &Desktop().StartProcess();
      store_ = std::make_unique<ConfigStore>(optionProcess_->Platform().profile, sim::kConfigPath);
    }
    return *store_;
  }

  HostHarness host;

 private:
  sim::SimProcess* optionProcess_ = nullptr;
  std::unique_ptr<ConfigStore> store_;
};

}  // namespace hidhost::editor::testing
