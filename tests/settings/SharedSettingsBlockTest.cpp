#include <array>
#include <optional>

#include "SettingsWorld.h"
#include "settings/SharedSettingsBlock.h"

namespace hidhost::settings::testing {
namespace {

MouseSettings SampleRecord() {
  MouseSettings record = DefaultRecord();
  record.MouseColor = 0x00112233;
  record.OTGSpeed = 42;
  record.ButtonInfo[6] = {7, 0x30, 1, 4};
  return record;
}

// Whether the host left the mutex free: had it kept it, its end would leave
// the mutex abandoned for the next program to wait on it.
platform::WaitResult NextWaitAfterHostEnds(sim::SimDesktop& world, sim::SimProcess& host) {
  platform::Kernel& next = world.StartProcess().Platform().kernel;
  const platform::Handle mutex = next.CreateMutex(contracts::kSharedMutexName).handle;
  host.EndProcess(0);
  return next.WaitForSingleObject(mutex, platform::kInfinite);
}

using SharedSettingsBlockTest = SettingsWorld;

TEST_F(SharedSettingsBlockTest, Write_givesConfigurationProgramTheRecordBytes) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  Trace();
  ASSERT_TRUE(block.Create());
  EXPECT_EQ(Trace(),
            std::vector<std::string>{R"(CreateFileMappingA name="K2290 Share Data" size=116)"});
  EXPECT_TRUE(block.Write(SampleRecord()));
  const auto shared = desktop.ReadSharedBlock();
  ASSERT_TRUE(shared.has_value());
  EXPECT_EQ(*shared, BytesOf(SampleRecord()));
  EXPECT_EQ(
      (std::array<std::uint8_t, 4>{(*shared)[88], (*shared)[89], (*shared)[90], (*shared)[91]}),
      (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
  EXPECT_EQ(NextWaitAfterHostEnds(desktop, process), platform::WaitResult::Signalled);
}

TEST_F(SharedSettingsBlockTest, Read_takesWholeRecordFromConfigurationProgram) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  ASSERT_TRUE(block.Create());
  ASSERT_EQ(desktop.WriteSharedBlock(BytesOf(SampleRecord())), sim::SharedWrite::Written);
  MouseSettings record = MarkedRecord();
  EXPECT_TRUE(block.Read(record));
  EXPECT_EQ(record, SampleRecord());
  EXPECT_EQ(NextWaitAfterHostEnds(desktop, process), platform::WaitResult::Signalled);
}

TEST_F(SharedSettingsBlockTest, NoView_copiesNothing) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  MouseSettings record = MarkedRecord();
  EXPECT_FALSE(block.Read(record));
  EXPECT_EQ(record, MarkedRecord());
  EXPECT_FALSE(block.Write(SampleRecord()));
  EXPECT_FALSE(desktop.ReadSharedBlock().has_value());
}

TEST_F(SharedSettingsBlockTest, MappingRefused_createFailsAndCopiesNothing) {
  desktop.FailCall("CreateFileMappingA");
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  EXPECT_FALSE(block.Create());
  EXPECT_FALSE(block.HasView());
  MouseSettings record = MarkedRecord();
  EXPECT_FALSE(block.Read(record));
  EXPECT_EQ(record, MarkedRecord());
}

TEST_F(SharedSettingsBlockTest, MutexOfThatNameExists_createMutexFails) {
  desktop.HoldMutex(contracts::kSharedMutexName);
  SharedSettingsBlock block(platform);
  EXPECT_FALSE(block.CreateMutex());
}

TEST_F(SharedSettingsBlockTest, Close_releasesEverything) {
  const int before = process.OpenObjectCount();
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  ASSERT_TRUE(block.Create());
  block.Close();
  EXPECT_FALSE(block.HasView());
  block.CloseMutex();
  EXPECT_EQ(process.OpenObjectCount(), before);
}

TEST_F(SharedSettingsBlockTest, ViewRefused_createFails) {
  desktop.FailCall("MapViewOfFile");
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  EXPECT_FALSE(block.Create());
  EXPECT_FALSE(block.HasView());
  EXPECT_FALSE(block.Write(SampleRecord()));
}

// The configuration program dies holding the mutex; the host's next copy
// finds it abandoned. A third program then shows whether the host gave it
// back: had the host kept it, its own end would abandon the mutex again.
TEST(SharedSettingsBlockAbandoned, SkipsCopyAndGivesMutexBack) {
  for (const bool read : {true, false}) {
    SCOPED_TRACE(read ? "row 1: read" : "row 2: write");
    sim::SimDesktop world;
    sim::SimProcess& hostProcess = world.StartProcess();
    SharedSettingsBlock block(hostProcess.Platform());
    ASSERT_TRUE(block.CreateMutex());
    ASSERT_TRUE(block.Create());
    ASSERT_EQ(world.WriteSharedBlock(BytesOf(SampleRecord())), sim::SharedWrite::Written);

    sim::SimProcess& dying = world.StartProcess();
    const platform::Handle taken =
        dying.Platform().kernel.CreateMutex(contracts::kSharedMutexName).handle;
    ASSERT_EQ(dying.Platform().kernel.WaitForSingleObject(taken, platform::kInfinite),
              platform::WaitResult::Signalled);
    dying.EndProcess(1);

    MouseSettings record = MarkedRecord();
    EXPECT_FALSE(read ? block.Read(record) : block.Write(DefaultRecord()));
    EXPECT_EQ(record, MarkedRecord());
    EXPECT_EQ(world.ReadSharedBlock(), std::optional(BytesOf(SampleRecord())));

    EXPECT_EQ(NextWaitAfterHostEnds(world, hostProcess), platform::WaitResult::Signalled);
  }
}

}  // namespace
}  // namespace hidhost::settings::testing
