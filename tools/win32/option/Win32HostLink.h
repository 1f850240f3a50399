// The running host as the window reaches it: its shared block, opened by
// name, and its window, told of each change with a time limit so that a hung
// host cannot hang the window.
#pragma once

#include <memory>

#include "SharedBlock.h"
#include "editor/LiveApply.h"

namespace hidhost::option {

class Win32HostLink final : public editor::HostLink {
 public:
  // True when the host's block and window are both there.
  bool Connect();
  void Disconnect() { block_.reset(); }
  bool Connected() const { return block_ != nullptr; }
  // The host's window has gone (it ended) or never was.
  bool HostWindowGone() const;

  editor::BlockWrite WriteBlock(const settings::MouseSettings& record) override;
  bool ReadBlock(settings::MouseSettings& record) override;
  bool Notify(std::uint32_t notice) override;
  // The performance counter when the host last answered a notice: it has
  // acted on the change by then (config.ini is written after).
  long long NoticeAnsweredAt() const { return noticeAnsweredAt_; }

 private:
  std::unique_ptr<SharedBlock> block_;
  long long noticeAnsweredAt_ = 0;
};

}  // namespace hidhost::option
