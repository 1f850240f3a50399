#include "settings/SharedSettingsBlock.h"

#include <cstring>

namespace hidhost::settings {

SharedSettingsBlock::SharedSettingsBlock(platform::Platform& platform) : platform_(platform) {}

SharedSettingsBlock::~SharedSettingsBlock() {
  Close();
  CloseMutex();
}

bool SharedSettingsBlock::CreateMutex() {
  const platform::CreatedMutex created = platform_.kernel.CreateMutex(contracts::kSharedMutexName);
  mutex_.Reset(platform_.kernel, created.handle);
  return !created.alreadyExisted;
}

bool SharedSettingsBlock::Create() {
  Close();
  mapping_.Reset(platform_.kernel, platform_.kernel.CreateFileMapping(contracts::kSharedBlockName,
                                                                      kMouseSettingsSize));
  if (!mapping_) return false;
  view_ = platform_.kernel.MapViewOfFile(mapping_.Get(), kMouseSettingsSize);
  if (view_ == nullptr) {
    // Without a view there is nothing to share; say so rather than let the
    // start-up believe the block holds its record.
    mapping_.Reset();
    return false;
  }
  return true;
}

bool SharedSettingsBlock::Lock() {
  switch (platform_.kernel.WaitForSingleObject(mutex_.Get(), platform::kInfinite)) {
    case platform::WaitResult::Signalled:
      return true;
    case platform::WaitResult::Abandoned:
      // The configuration program died while writing: the block may be torn,
      // so it is not copied; but the wait made the host the owner, and the
      // mutex must go back or the next writer waits for ever.
      Unlock();
      return false;
    case platform::WaitResult::Timeout:
    case platform::WaitResult::Failed:
      return false;
  }
  return false;
}

void SharedSettingsBlock::Unlock() {
  platform_.kernel.ReleaseMutex(mutex_.Get());
}

bool SharedSettingsBlock::Read(MouseSettings& record) {
  if (view_ == nullptr || !Lock()) return false;
  std::memcpy(&record, view_, kMouseSettingsSize);
  Unlock();
  return true;
}

bool SharedSettingsBlock::Write(const MouseSettings& record) {
  if (view_ == nullptr || !Lock()) return false;
  std::memcpy(view_, &record, kMouseSettingsSize);
  Unlock();
  return true;
}

void SharedSettingsBlock::Close() {
  if (view_ != nullptr) {
    platform_.kernel.UnmapViewOfFile(view_);
    view_ = nullptr;
  }
  mapping_.Reset();
}

void SharedSettingsBlock::CloseMutex() {
  mutex_.Reset();
}

}  // namespace hidhost::settings
