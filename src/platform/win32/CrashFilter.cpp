#include "platform/win32/CrashFilter.h"

#include <atomic>
#include <cstdint>

#include "platform/win32/Win32Api.h"
// After windows.h, whose types it uses.
#include <dbghelp.h>

// Why nothing here waits for a lock: the filter runs on the thread that
// crashed, in whatever state it was. The host's own locks are std::mutex,
// which that thread may hold and cannot take again; the host's response
// therefore reads atomics alone (see HostWindow::LetGoAfterCrash). The
// system's own locks (the heap's, the loader's) are critical sections, which
// the crashing thread may enter again if it holds them, and which other
// threads hold only briefly; the dump and the file calls below need those.
// The response comes first, so a user gets the mouse back even if writing
// the dump goes wrong.

namespace hidhost::platform::win32 {
namespace {

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// The system calls the filter with no context of ours, so the active filter
// is the one process-wide value the backend keeps.
std::atomic<CrashFilter*> activeFilter{nullptr};
// The thread that is responding; 0 while none is.
std::atomic<DWORD> respondingThread{0};

constexpr const wchar_t* kAppFolder = L"\\HidHost";
constexpr const wchar_t* kCrashFolder = L"\\crashes";
constexpr const wchar_t* kDumpPattern = L"\\HidHost-*.dmp";

// Appends without the C library, whose locale and stream locks the crashing
// thread may hold; false when the text does not fit.
template <std::size_t N>
bool Append(std::array<wchar_t, N>& buffer, std::size_t& at, const wchar_t* text) {
  for (; *text != L'\0'; ++text) {
    if (at + 1 >= N) return false;
    buffer[at++] = *text;
  }
  buffer[at] = L'\0';
  return true;
}

template <std::size_t N>
bool AppendNumber(std::array<wchar_t, N>& buffer, std::size_t& at, std::uint32_t value,
                  int digits) {
  std::array<wchar_t, 12> text{};
  std::size_t length = 0;
  do {
    text[length++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while ((value != 0 || static_cast<int>(length) < digits) && length < text.size() - 1);
  std::array<wchar_t, 12> reversed{};
  for (std::size_t i = 0; i < length; ++i) reversed[i] = text[length - 1 - i];
  return Append(buffer, at, reversed.data());
}

// HidHost-YYYYMMDD-HHMMSS-PID.dmp: names sort in the order they were written.
template <std::size_t N>
bool DumpPath(std::array<wchar_t, N>& path, const std::array<wchar_t, 512>& folder) {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  std::size_t at = 0;
  return Append(path, at, folder.data()) && Append(path, at, L"\\HidHost-") &&
         AppendNumber(path, at, now.wYear, 4) && AppendNumber(path, at, now.wMonth, 2) &&
         AppendNumber(path, at, now.wDay, 2) && Append(path, at, L"-") &&
         AppendNumber(path, at, now.wHour, 2) && AppendNumber(path, at, now.wMinute, 2) &&
         AppendNumber(path, at, now.wSecond, 2) && Append(path, at, L"-") &&
         AppendNumber(path, at, ::GetCurrentProcessId(), 1) && Append(path, at, L".dmp");
}

// The dump is written by a thread of its own: the writer suspends every other
// thread to read its state, and on the crashed thread itself it can wait for
// ever (measured under Wine). The crashed thread waits for it, bounded.
constexpr DWORD kDumpWaitMs = 60000;

struct DumpJob {
  MiniDumpWriteDumpFunction write;
  HANDLE file;
  MINIDUMP_EXCEPTION_INFORMATION exception;
  bool withException;
  BOOL written;
};

DWORD WINAPI WriteDumpThread(LPVOID raw) {
  auto& job = *static_cast<DumpJob*>(raw);
  job.written = job.write(::GetCurrentProcess(), ::GetCurrentProcessId(), job.file, MiniDumpNormal,
                          job.withException ? &job.exception : nullptr, nullptr, nullptr);
  return 0;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const DWORD self = ::GetCurrentThreadId();
  DWORD none = 0;
  if (!respondingThread.compare_exchange_strong(none, self)) {
    // A fault inside the response itself ends the process as it stands; a
    // crash on another thread meanwhile waits for the first to finish.
    if (none == self) return EXCEPTION_EXECUTE_HANDLER;
    ::Sleep(INFINITE);
  }
  if (CrashFilter* filter = activeFilter.load()) filter->Respond(exception);
  // The process ends with the exception's code, as it would have without us.
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

CrashFilter::CrashFilter(CrashResponse& response) : response_(response) {
  const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", parent_.data(),
                                                 static_cast<DWORD>(parent_.size()));
  std::size_t at = length;
  if (length == 0 || length >= parent_.size() || !Append(parent_, at, kAppFolder)) {
    parent_[0] = L'\0';
  } else {
    folder_ = parent_;
    if (!Append(folder_, at, kCrashFolder)) folder_[0] = L'\0';
  }
  activeFilter.store(this);
  ::SetUnhandledExceptionFilter(OnUnhandledException);
}

CrashFilter::~CrashFilter() {
  ::SetUnhandledExceptionFilter(nullptr);
  activeFilter.store(nullptr);
}

void CrashFilter::Respond(void* exceptionPointers) noexcept {
  response_.LetGo();
  WriteDump(exceptionPointers);
}

void CrashFilter::WriteDump(void* exceptionPointers) noexcept {
  if (folder_[0] == L'\0') return;
  ::CreateDirectoryW(parent_.data(), nullptr);
  ::CreateDirectoryW(folder_.data(), nullptr);
  std::array<wchar_t, 600> path{};
  if (!DumpPath(path, folder_)) return;

  const HMODULE dbghelp = ::LoadLibraryW(L"dbghelp.dll");
  if (dbghelp == nullptr) return;
  // Through void (*)(): a direct cast between unrelated function types warns.
  const auto writeDump = reinterpret_cast<MiniDumpWriteDumpFunction>(
      reinterpret_cast<void (*)()>(::GetProcAddress(dbghelp, "MiniDumpWriteDump")));
  if (writeDump == nullptr) return;
  const HANDLE file = ::CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DumpJob job{};
  job.write = writeDump;
  job.file = file;
  job.exception.ThreadId = ::GetCurrentThreadId();
  job.exception.ExceptionPointers = static_cast<EXCEPTION_POINTERS*>(exceptionPointers);
  job.exception.ClientPointers = FALSE;
  job.withException = exceptionPointers != nullptr;
  const HANDLE writer = ::CreateThread(nullptr, 0, WriteDumpThread, &job, 0, nullptr);
  if (writer == nullptr) {
    ::CloseHandle(file);
    ::DeleteFileW(path.data());
    return;
  }
  // A writer that does not finish is left to the process's end, with its file.
  if (::WaitForSingleObject(writer, kDumpWaitMs) != WAIT_OBJECT_0) return;
  ::CloseHandle(writer);
  ::CloseHandle(file);
  if (!job.written) ::DeleteFileW(path.data());
  KeepNewestDumps();
}

// Deletes the oldest dump while more than kDumpsKept remain. One pass per
// deletion keeps the stack small: the crashing thread's may be nearly spent.
void CrashFilter::KeepNewestDumps() noexcept {
  std::array<wchar_t, 600> pattern{};
  std::size_t at = 0;
  if (!Append(pattern, at, folder_.data()) || !Append(pattern, at, kDumpPattern)) return;
  for (;;) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(pattern.data(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::size_t count = 0;
    std::array<wchar_t, MAX_PATH> oldest{};
    do {
      ++count;
      if (count == 1 || ::lstrcmpW(found.cFileName, oldest.data()) < 0) {
        ::lstrcpynW(oldest.data(), found.cFileName, static_cast<int>(oldest.size()));
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    if (count <= kDumpsKept) return;
    std::array<wchar_t, 600> victim{};
    std::size_t end = 0;
    if (!Append(victim, end, folder_.data()) || !Append(victim, end, L"\\") ||
        !Append(victim, end, oldest.data()) || !::DeleteFileW(victim.data())) {
      return;
    }
  }
}

}  // namespace hidhost::platform::win32
