// The host's own messages, as a session recording must tell them apart.
#pragma once

#include "app/ConfigurationProgram.h"
#include "app/TrayIcon.h"
#include "platform/record/RecordingFacets.h"

namespace hidhost::app {

inline record::HostMessages RecordedMessages() {
  return {kTrayCallbackMessage,
          kTrayIconId,
          {kSettingsApplyAll, kSettingsReload1, kSettingsReload2, kSettingsApplyMaskFirst}};
}

}  // namespace hidhost::app
