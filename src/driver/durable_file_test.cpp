#include "driver/durable_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace ws {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PlatformFileSystem, FinishedFileTakesTheOldOnesPlaceWhole) {
  const fs::path dir = fs::temp_directory_path() / "ws_durable_file_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "old", std::ios::binary) << "old content";
  DurableFileSystem& files = platformFileSystem();

  std::unique_ptr<DurableFile> file = files.create(dir / "new");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->write("first "));
  EXPECT_TRUE(file->write(std::string(100000, 'x')));
  EXPECT_TRUE(file->finish());
  EXPECT_TRUE(files.replace(dir / "new", dir / "old"));
  EXPECT_EQ(readFile(dir / "old"), "first " + std::string(100000, 'x'));
  EXPECT_FALSE(fs::exists(dir / "new"));

  EXPECT_FALSE(files.replace(dir / "new", dir / "old"));  // nothing left to move
  EXPECT_EQ(files.create(dir / "missing" / "file"), nullptr);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace ws
