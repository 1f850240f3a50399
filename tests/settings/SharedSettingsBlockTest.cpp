#include <array>
#include <optional>

#include "settings/SettingsWorld.h"
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

using SharedSettingsBlockTest = SettingsWorld;

TEST_F(SharedSettingsBlockTest, Write_givesConfigurationProgramTheRecordBytes) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  Trace();
  ASSERT_EQ(block.Create(), 1);
  EXPECT_EQ(Trace(),
            std::vector<std::string>{R"(CreateFileMappingA name="K2290 Share Data" size=116)"});
  EXPECT_EQ(block.Write(SampleRecord()), 1);
  const auto shared = desktop.ReadSharedBlock();
  ASSERT_TRUE(shared.has_value());
  EXPECT_EQ(*shared, BytesOf(SampleRecord()));
  EXPECT_EQ(
      (std::array<std::uint8_t, 4>{(*shared)[88], (*shared)[89], (*shared)[90], (*shared)[91]}),
      (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
}

TEST_F(SharedSettingsBlockTest, Read_takesWholeRecordFromConfigurationProgram) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  ASSERT_EQ(block.Create(), 1);
  ASSERT_TRUE(desktop.WriteSharedBlock(BytesOf(SampleRecord())));
  MouseSettings record = MarkedRecord();
  EXPECT_EQ(block.Read(record), 1);
  EXPECT_EQ(record, SampleRecord());
}

TEST_F(SharedSettingsBlockTest, NoView_copiesNothing) {
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  MouseSettings record = MarkedRecord();
  EXPECT_EQ(block.Read(record), 0);
  EXPECT_EQ(record, MarkedRecord());
  EXPECT_EQ(block.Write(SampleRecord()), 0);
  EXPECT_FALSE(desktop.ReadSharedBlock().has_value());
}

TEST_F(SharedSettingsBlockTest, MappingRefused_createFailsAndCopiesNothing) {
  desktop.FailCall("CreateFileMappingA");
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  EXPECT_EQ(block.Create(), 0);
  EXPECT_FALSE(block.HasView());
  MouseSettings record = MarkedRecord();
  EXPECT_EQ(block.Read(record), 0);
  EXPECT_EQ(record, MarkedRecord());
}

TEST_F(SharedSettingsBlockTest, MutexOfThatNameExists_createMutexFails) {
  desktop.HoldMutex(kSharedMutexName);
  SharedSettingsBlock block(platform);
  EXPECT_FALSE(block.CreateMutex());
}

TEST_F(SharedSettingsBlockTest, Close_releasesEverything) {
  const int before = process.OpenObjectCount();
  SharedSettingsBlock block(platform);
  ASSERT_TRUE(block.CreateMutex());
  ASSERT_EQ(block.Create(), 1);
  block.Close();
  EXPECT_FALSE(block.HasView());
  block.CloseMutex();
  EXPECT_EQ(process.OpenObjectCount(), before);
}

// The sim's kernel, except that chosen waits report the mutex abandoned
// after really taking it, as the system does when its last owner died.
class AbandoningKernel : public platform::Kernel {
 public:
  explicit AbandoningKernel(platform::Kernel& real) : real_(real) {}

  platform::WaitResult WaitForSingleObject(platform::Handle object,
                                           std::uint32_t timeoutMs) override {
    const platform::WaitResult result = real_.WaitForSingleObject(object, timeoutMs);
    if (abandonNext > 0 && result == platform::WaitResult::Signalled) {
      --abandonNext;
      return platform::WaitResult::Abandoned;
    }
    return result;
  }
  bool ReleaseMutex(platform::Handle mutex) override {
    ++releases;
    return real_.ReleaseMutex(mutex);
  }

  platform::CreatedMutex CreateMutex(std::string_view name) override {
    return real_.CreateMutex(name);
  }
  platform::Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override {
    return real_.CreateSemaphore(initial, maximum);
  }
  bool ReleaseSemaphore(platform::Handle semaphore, std::int32_t count) override {
    return real_.ReleaseSemaphore(semaphore, count);
  }
  platform::Handle CreateEvent(bool manualReset, bool initiallySet) override {
    return real_.CreateEvent(manualReset, initiallySet);
  }
  bool SetEvent(platform::Handle event) override { return real_.SetEvent(event); }
  bool CloseHandle(platform::Handle object) override { return real_.CloseHandle(object); }
  platform::Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry,
                                void* parameter) override {
    return real_.CreateThread(stackSize, entry, parameter);
  }
  platform::Handle CreateFileMapping(std::string_view name, std::uint32_t size) override {
    return real_.CreateFileMapping(name, size);
  }
  void* MapViewOfFile(platform::Handle mapping, std::uint32_t size) override {
    return real_.MapViewOfFile(mapping, size);
  }
  bool UnmapViewOfFile(void* view) override { return real_.UnmapViewOfFile(view); }
  platform::Module LoadLibrary(std::string_view path) override { return real_.LoadLibrary(path); }
  bool HasProcedure(platform::Module module, std::string_view name) override {
    return real_.HasProcedure(module, name);
  }
  bool FreeLibrary(platform::Module module) override { return real_.FreeLibrary(module); }

  int abandonNext = 0;
  int releases = 0;

 private:
  platform::Kernel& real_;
};

TEST(SharedSettingsBlockAbandoned, AbandonedMutex_skipsCopyAndGivesMutexBack) {
  for (const bool read : {true, false}) {
    SCOPED_TRACE(read ? "row 1: read" : "row 2: write");
    sim::SimDesktop world;
    platform::Platform& sim = world.StartProcess().Platform();
    AbandoningKernel kernel(sim.kernel);
    platform::Platform host{sim.input,   sim.windows, sim.timers, sim.registry,
                            sim.profile, kernel,      sim.shell,  sim.driver};
    SharedSettingsBlock block(host);
    ASSERT_TRUE(block.CreateMutex());
    ASSERT_EQ(block.Create(), 1);
    ASSERT_TRUE(world.WriteSharedBlock(BytesOf(SampleRecord())));

    kernel.abandonNext = 1;
    MouseSettings record = MarkedRecord();
    EXPECT_EQ(read ? block.Read(record) : block.Write(DefaultRecord()), 0);
    // Checked before the configuration program's next write, which would
    // otherwise wait for ever.
    ASSERT_EQ(kernel.releases, 1);
    EXPECT_EQ(record, MarkedRecord());
    EXPECT_EQ(world.ReadSharedBlock(), std::optional(BytesOf(SampleRecord())));

    // The configuration program can still write, and the next copy works.
    const MouseSettings later = DefaultRecord();
    ASSERT_TRUE(world.WriteSharedBlock(BytesOf(later)));
    EXPECT_EQ(block.Read(record), 1);
    EXPECT_EQ(record, later);
    EXPECT_EQ(kernel.releases, 2);
  }
}

}  // namespace
}  // namespace hidhost::settings::testing
