// How other programs recognise a running host: the installer ends it before
// an upgrade, the Wine stages wait for it, a second copy finds the first.
#pragma once

namespace hidhost::contracts {

// The single-instance mutex: a second copy that finds it ends quietly.
inline constexpr const char* kInstanceMutexName = "Tarno_HidHost";
// The class of the framework's windows, the host's hidden window among them.
inline constexpr const char* kFrameworkWindowClass = "HidHostFrameworkWindow";

}  // namespace hidhost::contracts
