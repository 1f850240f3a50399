// The one way the backend reaches the system's headers. The system's headers
// turn many call names into macros (SendMessage becomes SendMessageA, and so
// on); the seam's methods carry the same names, so those macros are undone
// here and the backend names the ANSI entry points explicitly.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
// After windows.h, which the others expect first.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#undef AppendMenu
#undef CreateEvent
#undef CreateFile
#undef CreateFileMapping
#undef CreateMutex
#undef CreateSemaphore
#undef DefWindowProc
#undef GetClassName
#undef GetModuleFileName
#undef GetPrivateProfileInt
#undef GetPrivateProfileStruct
#undef GetWindowLong
#undef LoadLibrary
#undef LoadString
#undef MapVirtualKey
#undef PostMessage
#undef RegisterWindowMessage
#undef SendMessage
#undef SetWindowLong
#undef ShellExecute
#undef SystemParametersInfo
#undef WritePrivateProfileString
