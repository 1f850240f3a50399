// The settings record shared with the configuration program: a named
// paging-file block guarded by a named mutex.
#pragma once

#include "contracts/ConfigurationProtocol.h"
#include "platform/Platform.h"
#include "platform/UniqueResource.h"
#include "settings/MouseSettings.h"

namespace hidhost::settings {

class SharedSettingsBlock {
 public:
  explicit SharedSettingsBlock(platform::Platform& platform);
  ~SharedSettingsBlock();
  SharedSettingsBlock(const SharedSettingsBlock&) = delete;
  SharedSettingsBlock& operator=(const SharedSettingsBlock&) = delete;

  // Creates the mutex; false when one of that name already exists (the
  // handle is kept all the same, so that tear-down closes it).
  bool CreateMutex();
  // The mapping and its view; true on success. An existing mapping of the name
  // is used as it is.
  [[nodiscard]] bool Create();
  // Under the mutex; true when copied. False without a view, and when the wait
  // fails or finds the mutex abandoned (which is then released at once).
  [[nodiscard]] bool Read(MouseSettings& record);
  bool Write(const MouseSettings& record);
  void Close();  // unmaps the view and closes the mapping
  void CloseMutex();

  bool HasView() const { return view_ != nullptr; }

 private:
  // True when the mutex is held and the block may be copied.
  bool Lock();
  void Unlock();
  platform::Platform& platform_;
  platform::UniqueHandle mutex_;
  platform::UniqueHandle mapping_;
  void* view_ = nullptr;
};

}  // namespace hidhost::settings
