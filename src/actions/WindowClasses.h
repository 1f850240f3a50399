// Window class names that horizontal scrolling recognises, compared exactly.
#pragma once

#include <string_view>

#include "platform/Platform.h"

namespace hidhost::actions {

namespace window_class {
inline constexpr std::string_view kScrollBar = "ScrollBar";
inline constexpr std::string_view kNuiScrollBar = "NUIScrollbar";
inline constexpr std::string_view kScrollBarContainer = "AVL_AVScrollBar";
inline constexpr std::string_view kBrowserContent = "Internet Explorer_Server";
inline constexpr std::string_view kMozilla = "MozillaWindowClass";
inline constexpr std::string_view kListView = "SysListView32";
inline constexpr std::string_view kProgman = "Progman";
inline constexpr std::string_view kPaneDc = "paneClassDC";
inline constexpr std::string_view kVisio = "VISIOG";
inline constexpr std::string_view kAfx42 = "AfxWnd42";
inline constexpr std::string_view kAfx70 = "AfxWnd70";
}  // namespace window_class

// The window's class; empty (matching no literal) when it cannot be read.
platform::ClassName ClassOf(platform::Windows& windows, platform::Hwnd hwnd);

// The desktop's icon list: a list view somewhere below the Progman window.
bool HasProgmanAncestor(platform::Windows& windows, platform::Hwnd hwnd);

}  // namespace hidhost::actions
