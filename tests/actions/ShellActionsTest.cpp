// Search and Run go through the shell object, which belongs to the window
// thread: the event thread only hands them over.
#include <gtest/gtest.h>

#include "ActionsWorld.h"

namespace hidhost::actions::testing {
namespace {

constexpr int kButton = 6;

class ShellActionsTest : public ActionsWorld {
 protected:
  void WithShell() {
    platform.shell.CoInitialize();
    shell = platform.shell.CreateShellDispatch();
    ASSERT_TRUE(platform::IsSet(shell));
    procedure.SetShell(shell);
    desktop.TakeTrace();
  }
  ~ShellActionsTest() override {
    if (platform::IsSet(shell)) {
      platform.shell.Release(shell);
      platform.shell.CoUninitialize();
    }
  }
  platform::ComObject shell = platform::ComObject::None;
};

TEST_F(ShellActionsTest, searchAndRun_onTheEventThread_onlyPostTheRequest) {
  WithShell();
  const struct {
    int row;
    std::uint8_t code;
    const char* call;
  } rows[] = {{1, 69, "IShellDispatch::FindFiles"}, {2, 84, "IShellDispatch::FileRun"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    Assign(kButton, row.code);
    EXPECT_EQ(Press(kButton), Lines{});
    dispatcher.OnButtonRelease(kButton);
    EXPECT_EQ(desktop.TakeTrace(), Lines{PostLine(HostValue(), kShellRequestMessage, row.code, 0)});
    EXPECT_EQ(Settle(), Lines{row.call});
  }
}

TEST_F(ShellActionsTest, noShellObject_request_callsNothing) {
  Assign(kButton, 69);
  Press(kButton);
  EXPECT_EQ(Release(kButton), Lines{PostLine(HostValue(), kShellRequestMessage, 69, 0)});
}

TEST_F(ShellActionsTest, requestForAnotherCode_callsNothing) {
  WithShell();
  for (platform::WParam code : {0u, 5u, 70u, 83u, 85u, 0x145u}) {
    SCOPED_TRACE(code);
    dispatcher.OnShellRequest(code, shell);
    EXPECT_EQ(Settle(), Lines{});
  }
}

TEST_F(ShellActionsTest, noHostWindowYet_searchPostsNothing) {
  ActionDispatcher detached(platform, settings, flags);
  Assign(kButton, 69);
  detached.OnButtonPress(kButton);
  detached.OnButtonRelease(kButton);
  detached.RunSingleShot(kButton);
  EXPECT_EQ(Settle(), Lines{});
}

TEST_F(ShellActionsTest, myComputer_opensTheDrivesFolderFromTheEventThread) {
  Assign(kButton, 83);
  Press(kButton);
  dispatcher.OnButtonRelease(kButton);
  EXPECT_EQ(desktop.TakeTrace(), Lines{"ShellExecuteExA mask=0x4 idlist=CSIDL_DRIVES show=1"});
}

}  // namespace
}  // namespace hidhost::actions::testing
