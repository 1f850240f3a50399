#include "settings/SettingsLoader.h"

#include "settings/ConfigFile.h"

namespace hidhost::settings {

void LoadSettings(platform::Platform& platform, MouseSettings& record) {
  ClearSettings(record);
  if (ReadConfiguration(platform, record)) return;
  // The defaults replace whatever was read before the failure, the registry
  // values included. MouseColor has no default of its own, and the record
  // goes to the shared block next, so it must not keep what memory held.
  SetDefaultSettings(record);
  record.MouseColor = 0;
}

}  // namespace hidhost::settings
