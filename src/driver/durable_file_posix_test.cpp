#include <gtest/gtest.h>

#include <memory>

#include "driver/durable_file.h"

namespace ws {
namespace {

// /dev/full takes every byte with ENOSPC, as a full disk does.
TEST(PlatformFileSystem, WriteToAFullDiskFails) {
  std::unique_ptr<DurableFile> file = platformFileSystem().create("/dev/full");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->write("a line\r\n"));
  file->finish();
}

}  // namespace
}  // namespace ws
