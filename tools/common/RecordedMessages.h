// The host's own messages, as a session recording must tell them apart. It
// joins the host's logic to the recorder, so it belongs to the programs that
// link both (HidHost.exe and hidhost-sim), not to either layer.
#pragma once

#include "app/ConfigurationProgram.h"
#include "app/TrayIcon.h"
#include "record/RecordingFacets.h"

namespace hidhost {

inline record::HostMessages RecordedHostMessages() {
  using namespace app;
  return {kTrayCallbackMessage,
          kTrayIconId,
          {kSettingsApplyAll, kSettingsReload1, kSettingsReload2, kSettingsApplyMaskFirst}};
}

}  // namespace hidhost
