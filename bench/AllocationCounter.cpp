// Replaces the global operator new and delete. The allocator is one per
// process by nature, so its counter is too: this is the one process-wide
// variable of the benchmarks, and it exists only in the benchmark binary.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace hidhost::bench {

namespace {

std::atomic<std::uint64_t>& Counter() {
  static std::atomic<std::uint64_t> count{0};
  return count;
}

void* TryAllocate(std::size_t size) {
  Counter().fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}

void* Allocate(std::size_t size) {
  if (void* p = TryAllocate(size)) return p;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  Counter().fetch_add(1, std::memory_order_relaxed);
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  if (void* p = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return p;
  throw std::bad_alloc();
}

}  // namespace

std::uint64_t AllocationCount() {
  return Counter().load(std::memory_order_relaxed);
}

}  // namespace hidhost::bench

void* operator new(std::size_t size) {
  return hidhost::bench::Allocate(size);
}
void* operator new[](std::size_t size) {
  return hidhost::bench::Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return hidhost::bench::AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return hidhost::bench::AllocateAligned(size, alignment);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return hidhost::bench::TryAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return hidhost::bench::TryAllocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
