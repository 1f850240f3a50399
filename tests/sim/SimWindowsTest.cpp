// The scenario's window ids; what the system does with windows is held to it
// by tests/conformance.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

TEST(SimWindows, AWindowIdIsDeclaredOnce) {
  SimFixture sim;
  EXPECT_TRUE(sim.desktop.AddWindow({0x5, "A", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x5, "B", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x10000, "C", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x6, "D", 0x44, {}, 0, ""})) << "unknown parent";
}

}  // namespace
}  // namespace hidhost::sim::testing
