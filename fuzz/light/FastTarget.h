// Included once by each fast target's main file.
//
// A light host's life allocates a few kilobytes and ends in microseconds.
// With AddressSanitizer's defaults every allocation would come from fresh
// memory (a 256 MB quarantine) and record a deep stack, which together cost
// more than the life itself; a small quarantine still catches a use after
// free within an input, and a report still shows the faulting access whole.
#pragma once

extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16:malloc_context_size=4";
}
