#include "screen/program_name.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(ProgramName, BaseNameDropsDirectoryAndLastExtension) {
  EXPECT_EQ(baseNameWithoutExtension("/usr/local/bin/wortsammler"), "wortsammler");
  EXPECT_EQ(baseNameWithoutExtension("C.d/x/wortsammler.exe"), "wortsammler");
  EXPECT_EQ(baseNameWithoutExtension("probe.tar.gz"), "probe.tar");
  EXPECT_EQ(baseNameWithoutExtension("./.hidden"), ".hidden");
  EXPECT_EQ(baseNameWithoutExtension("plain"), "plain");
}

TEST(ProgramName, IsTheRunningExecutable) {
  EXPECT_EQ(programName(), "wortsammler_tests");
}

}  // namespace
}  // namespace ws
