#pragma once

#include "platform/Platform.h"
#include "settings/MouseSettings.h"

namespace hidhost::settings {

// Initial fill, then the registry and config.ini; the defaults when the read fails.
void LoadSettings(platform::Platform& platform, MouseSettings& record);

}  // namespace hidhost::settings
