// What every fuzz target asserts about the host: a broken promise stops the
// run like a crash, so that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace hidhost::fuzzing {

[[noreturn]] inline void BrokenPromise(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
  std::abort();
}

}  // namespace hidhost::fuzzing

#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) ::hidhost::fuzzing::BrokenPromise(#condition, __FILE__, __LINE__); \
  } while (0)
