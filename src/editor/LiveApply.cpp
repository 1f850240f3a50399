#include "editor/LiveApply.h"

#include <array>
#include <utility>

#include "editor/EditableFields.h"

namespace hidhost::editor {

namespace {

constexpr std::string_view kSection = "Setting";

}  // namespace

ConfigStore::ConfigStore(platform::ProfileFiles& files, std::string path)
    : files_(files), path_(std::move(path)) {}

bool ConfigStore::Write(const std::vector<ConfigEntry>& entries) {
  bool all = true;
  for (const ConfigEntry& entry : entries) {
    all = files_.WritePrivateProfileString(kSection, entry.key, entry.value, path_) && all;
  }
  return all;
}

settings::MouseSettings ConfigStore::Load() {
  settings::MouseSettings record{};
  settings::SetDefaultSettings(record);
  for (const EditableField& field : EditableFields()) {
    if (!field.inConfigFile) continue;
    record.*field.member = static_cast<std::int32_t>(
        files_.GetPrivateProfileInt(kSection, field.key, record.*field.member, path_));
  }
  for (int i = 0; i < settings::kButtonCount; ++i) {
    std::array<std::uint8_t, 4> bytes{};
    if (files_.GetPrivateProfileStruct(kSection, AssignmentKey(i), bytes, path_)) {
      record.ButtonInfo[static_cast<std::size_t>(i)] = {bytes[0], bytes[1], bytes[2], bytes[3]};
    }
  }
  return record;
}

Applied ApplyProposal(SettingsEditor& editor, const Proposal& proposal, HostLink* host,
                      ConfigStore& config) {
  if (!proposal.record) return Applied::Refused;
  if (!proposal.plan.notice) return Applied::Unchanged;
  Applied result = Applied::FileOnly;
  if (host != nullptr) {
    switch (host->WriteBlock(*proposal.record)) {
      case BlockWrite::Busy:
        return Applied::HostBusy;
      case BlockWrite::NoHost:
        break;
      case BlockWrite::Written:
        // The mutex is free again: the host takes it to read the block.
        result = host->Notify(*proposal.plan.notice) ? Applied::InForce : Applied::HostSilent;
        break;
    }
  }
  config.Write(proposal.plan.configEntries);
  editor.Accept(proposal);
  return result;
}

}  // namespace hidhost::editor
