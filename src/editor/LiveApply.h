// Taking an edit into force at once: the whole record into the host's shared
// block, then the one notice it needs, then the changed keys into config.ini.
// Without a host only config.ini changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/SettingsEditor.h"
#include "platform/Platform.h"
#include "settings/MouseSettings.h"

namespace hidhost::editor {

enum class BlockWrite { Written, Busy, NoHost };

// The host as the window reaches it: its shared block and its window.
class HostLink {
 public:
  virtual ~HostLink() = default;
  // Waits a bounded time for the block's mutex; Busy when it stays taken.
  virtual BlockWrite WriteBlock(const settings::MouseSettings& record) = 0;
  virtual bool ReadBlock(settings::MouseSettings& record) = 0;
  // Sent with a time limit; false when the host did not answer.
  virtual bool Notify(std::uint32_t notice) = 0;
};

// config.ini through the profile functions, which keep every other key,
// section and comment of the file as it is.
class ConfigStore {
 public:
  ConfigStore(platform::ProfileFiles& files, std::string path);
  bool Write(const std::vector<ConfigEntry>& entries);
  // Defaults for every key the file lacks; the system settings are left at
  // their defaults, for the caller to fill from the system.
  settings::MouseSettings Load();
  const std::string& Path() const { return path_; }

 private:
  platform::ProfileFiles& files_;
  std::string path_;
};

enum class Applied {
  InForce,     // the host has it, and config.ini
  FileOnly,    // no host: config.ini has it
  HostBusy,    // the block stayed locked: nothing changed
  HostSilent,  // written, but the host did not answer the notice
  Refused,     // the editor refused it (see the proposal)
  Unchanged,
};

// Applies the proposal and, unless the host was busy, makes it the editor's.
Applied ApplyProposal(SettingsEditor& editor, const Proposal& proposal, HostLink* host,
                      ConfigStore& config);

}  // namespace hidhost::editor
