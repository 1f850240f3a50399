#include "Support.h"

#include <cstdarg>
#include <cstdlib>

namespace hidhost::wine_tests {

std::string Format(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
  const std::string copy(text);
  if (copy.empty()) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(copy.c_str(), &end, 0);
  if (end == nullptr || *end != '\0') return std::nullopt;
  return value;
}

void PumpUntil(HANDLE stop) {
  for (;;) {
    const DWORD woke =
        MsgWaitForMultipleObjects(stop != nullptr ? 1 : 0, &stop, FALSE, INFINITE, QS_ALLINPUT);
    if (stop != nullptr && woke == WAIT_OBJECT_0) return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

std::string OptionValue(int argc, char** argv, std::string_view name, std::string fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (name == argv[i]) return argv[i + 1];
  }
  return fallback;
}

bool HasFlag(int argc, char** argv, std::string_view name) {
  for (int i = 1; i < argc; ++i) {
    if (name == argv[i]) return true;
  }
  return false;
}

Words Split(const std::string& text) {
  Words words;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = text.find('|', start);
    words.push_back(text.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) return words;
    start = bar + 1;
  }
}

}  // namespace hidhost::wine_tests
