#include "driver/word_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "trie/word_trie.h"

namespace ws {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The dump of a trie holding only its 224 first-level nodes, all with count 0.
std::string freshDump() {
  std::string out;
  for (int link = 1; link <= 224; ++link) {
    out += static_cast<char>((link + 32) % 256);
    out += " 0\r\n";
  }
  return out;
}

// The platform's files, but one step of the replacement fails: a write (after half of its bytes
// went out), the flush and close, or the move. Logs every step, file names only.
class FaultyFileSystem final : public DurableFileSystem {
 public:
  enum class Step { kNone, kWrite, kFinish, kReplace };
  explicit FaultyFileSystem(Step failing) : failing_(failing) {}

  std::unique_ptr<DurableFile> create(const fs::path& path) override {
    log.push_back("create " + path.filename().string());
    std::unique_ptr<DurableFile> file = platformFileSystem().create(path);
    return file ? std::make_unique<File>(*this, std::move(file)) : nullptr;
  }
  bool replace(const fs::path& from, const fs::path& to) override {
    log.push_back("replace " + from.filename().string() + " " + to.filename().string());
    return failing_ != Step::kReplace && platformFileSystem().replace(from, to);
  }

  std::vector<std::string> log;

 private:
  class File final : public DurableFile {
   public:
    File(FaultyFileSystem& owner, std::unique_ptr<DurableFile> file)
        : owner_(owner), file_(std::move(file)) {}
    bool write(std::string_view bytes) override {
      if (owner_.log.back() != "write") owner_.log.push_back("write");
      if (owner_.failing_ != Step::kWrite) return file_->write(bytes);
      file_->write(bytes.substr(0, bytes.size() / 2));
      return false;
    }
    bool finish() override {
      owner_.log.push_back("finish");
      return file_->finish() && owner_.failing_ != Step::kFinish;
    }

   private:
    FaultyFileSystem& owner_;
    std::unique_ptr<DurableFile> file_;
  };

  Step failing_;
};

std::optional<std::uint64_t> plentyOfSpace(const fs::path&) {
  return std::uint64_t{1} << 40;
}

class WordDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("ws_dump_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dumpFile() const { return dir_ / "wiki.txt"; }

  fs::path dir_;
  WordTrie trie_;
};

TEST_F(WordDumpTest, FreshTrieGivesOneLinePerRootNodeEndingWithByteZero) {
  ASSERT_TRUE(dumpWords(trie_, dir_));
  const std::string dump = readFile(dumpFile());
  EXPECT_EQ(dump, freshDump());
  EXPECT_EQ(dump.substr(dump.size() - 5), std::string("\0 0\r\n", 5));
}

TEST_F(WordDumpTest, WordLinesFollowTheirPrefixesInWalkOrder) {
  trie_.insertWord("haus");
  trie_.insertWord("hau");
  trie_.insertWord("hb");
  trie_.insertWord("h");
  ASSERT_TRUE(dumpWords(trie_, dir_));
  const std::string dump = readFile(dumpFile());
  EXPECT_NE(dump.find("g 0\r\nh 1\r\nha 0\r\nhau 1\r\nhaus 1\r\nhb 1\r\ni 0\r\n"),
            std::string::npos);
  EXPECT_EQ(static_cast<std::uint32_t>(std::count(dump.begin(), dump.end(), '\n')),
            trie_.nodeCount());
}

TEST_F(WordDumpTest, SingleWordHausLastLineBytes) {
  trie_.insertWord("haus");
  ASSERT_TRUE(dumpWords(trie_, dir_));
  const std::string dump = readFile(dumpFile());
  const std::string expectedRun = "h 0\r\nha 0\r\nhau 0\r\n\x68\x61\x75\x73\x20\x31\x0D\x0A";
  EXPECT_NE(dump.find(expectedRun), std::string::npos);
}

TEST_F(WordDumpTest, HighBytesAndCountsAreWrittenRaw) {
  trie_.insertWord("\xE4\xFF");
  for (int i = 0; i < 1234; ++i) trie_.insertWord("\xE4");
  ASSERT_TRUE(dumpWords(trie_, dir_));
  const std::string dump = readFile(dumpFile());
  EXPECT_NE(dump.find("\xE4 1234\r\n\xE4\xFF 1\r\n"), std::string::npos);
}

TEST_F(WordDumpTest, SecondDumpReplacesTheFile) {
  writeFile(dumpFile(), std::string(100000, 'x'));
  ASSERT_TRUE(dumpWords(trie_, dir_));
  EXPECT_EQ(readFile(dumpFile()), freshDump());
  trie_.insertWord("ab");
  ASSERT_TRUE(dumpWords(trie_, dir_));
  const std::string second = readFile(dumpFile());
  EXPECT_EQ(second.size(), freshDump().size() + 6);
  EXPECT_EQ(second.find(freshDump()), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "wiki.txt.tmp"));
}

TEST_F(WordDumpTest, UnwritableTargetIsSilentAndKeepsTheOldDump) {
  writeFile(dumpFile(), "old dump\r\n");
  // The temporary file cannot be created where a directory of that name stands (even as root).
  fs::create_directory(dir_ / "wiki.txt.tmp");
  EXPECT_FALSE(dumpWords(trie_, dir_));
  EXPECT_EQ(readFile(dumpFile()), "old dump\r\n");

  EXPECT_FALSE(dumpWords(trie_, dir_ / "missing"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// "w0000" to "w9999" make a dump of several blocks; its lines are known without the trie.
TEST_F(WordDumpTest, DumpOfManyBlocksIsWrittenWholeAndFlushedBeforeItIsMoved) {
  std::string wordLines = "w 0\r\n";
  for (int i = 0; i < 10000; ++i) {
    std::string word = std::to_string(10000 + i);
    word[0] = 'w';
    trie_.insertWord(word);
    for (std::size_t length = 2; length <= 5; ++length) {
      if (word.compare(length, 5 - length, std::string(5 - length, '0')) == 0) {
        wordLines.append(word, 0, length);
        wordLines += length == 5 ? " 1\r\n" : " 0\r\n";
      }
    }
  }
  std::string expected = freshDump();
  expected.replace(expected.find("w 0\r\n"), 5, wordLines);
  ASSERT_GT(expected.size(), WordDumpVisitor::kBlockSize);

  writeFile(dumpFile(), "old dump\r\n");
  FaultyFileSystem files(FaultyFileSystem::Step::kNone);
  ASSERT_TRUE(dumpWords(trie_, dir_, plentyOfSpace, files));
  EXPECT_EQ(readFile(dumpFile()), expected);
  EXPECT_EQ(files.log, (std::vector<std::string>{"create wiki.txt.tmp", "write", "finish",
                                                 "replace wiki.txt.tmp wiki.txt"}));
}

TEST_F(WordDumpTest, FailedWriteFlushOrMoveKeepsTheOldDumpAndRemovesTheTemporary) {
  using Step = FaultyFileSystem::Step;
  for (const Step failing : {Step::kWrite, Step::kFinish, Step::kReplace}) {
    SCOPED_TRACE(static_cast<int>(failing));
    writeFile(dumpFile(), "old dump\r\n");
    FaultyFileSystem files(failing);
    EXPECT_FALSE(dumpWords(trie_, dir_, plentyOfSpace, files));
    EXPECT_EQ(readFile(dumpFile()), "old dump\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "wiki.txt.tmp"));
    // A file that was not whole on the disk is never moved over the old dump.
    EXPECT_EQ(files.log.back(),
              failing == Step::kReplace ? "replace wiki.txt.tmp wiki.txt" : "finish");
  }
}

TEST_F(WordDumpTest, SizeIsExactWithoutWriting) {
  trie_.insertWord("haus");
  for (int i = 0; i < 12345; ++i) trie_.insertWord("der");
  trie_.insertWord(std::string(300, '\xE4'));
  const std::uint64_t size = wordDumpSize(trie_);
  EXPECT_FALSE(fs::exists(dumpFile()));
  ASSERT_TRUE(dumpWords(trie_, dir_));
  EXPECT_EQ(size, readFile(dumpFile()).size());
}

TEST_F(WordDumpTest, DumpThatWouldNotLeaveTheMarginFreeWritesNothing) {
  constexpr std::uint64_t kMargin = std::uint64_t{64} << 20;
  const std::uint64_t size = freshDump().size();
  writeFile(dumpFile(), "old dump\r\n");
  // A dump killed part-way left its temporary file behind.
  writeFile(dir_ / "wiki.txt.tmp", std::string(5000, 'x'));
  fs::path asked;
  const auto freeSpace = [&](const fs::path& directory) -> std::optional<std::uint64_t> {
    asked = directory;
    return kMargin + size - 1;
  };
  EXPECT_FALSE(dumpWords(trie_, dir_, freeSpace));
  EXPECT_EQ(asked, dir_);
  EXPECT_EQ(readFile(dumpFile()), "old dump\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "wiki.txt.tmp"));

  writeFile(dir_ / "wiki.txt.tmp", std::string(5000, 'x'));
  EXPECT_TRUE(dumpWords(trie_, dir_, [&](const fs::path&) { return kMargin + size; }));
  EXPECT_EQ(readFile(dumpFile()), freshDump());
  EXPECT_FALSE(fs::exists(dir_ / "wiki.txt.tmp"));

  // Large dumps keep 5 % of their size free.
  EXPECT_TRUE(dumpFits(1'000'000'000'000, 1'050'000'000'000));
  EXPECT_FALSE(dumpFits(1'000'000'000'000, 1'049'999'999'999));
  EXPECT_FALSE(dumpFits(0, kMargin - 1));
}

TEST(ExecutablePath, DirectoryHoldsTheRunningExecutable) {
  const auto dir = executableDirectory();
  ASSERT_TRUE(dir.has_value());
  EXPECT_TRUE(dir->is_absolute());
  // The test binary: wortsammler_tests, or wortsammler_tests.exe on Windows.
  bool found = false;
  for (const fs::directory_entry& entry : fs::directory_iterator(*dir)) {
    found = found || (entry.is_regular_file() && entry.path().stem() == "wortsammler_tests");
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace ws
