// The system headers of the window, in the order they need: the backend's
// windows.h (with its call-name macros undone) first, then the dialog,
// common-control and theme headers built on it.
#pragma once

#include "platform/win32/Win32Api.h"
// clang-format off
#include <commdlg.h>
#include <uxtheme.h>
// clang-format on
