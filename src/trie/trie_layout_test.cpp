// The trie's compact node layout held against the plain 900-byte one: the same words, inserted
// one by one into the reference and in batches into the real trie, must give the same created
// counts, look-ups and walks, visit by visit.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "trie/test_reference_trie.h"
#include "trie/trie_walk.h"
#include "trie/word_trie.h"

namespace ws {
namespace {

using testing::ReferenceTrie;
using testing::ReferenceVisit;

// Holds each visit against the reference walk's visit of the same number.
class CheckingVisitor : public TrieVisitor {
 public:
  explicit CheckingVisitor(const std::vector<ReferenceVisit>& expected) : expected_(expected) {}

  void visit(std::string_view word, WordCount count, const NodeView& node,
             uint8_t linkNumber) override {
    const ReferenceVisit seen{std::string(word), count, node.childCount(), linkNumber};
    if (firstMismatch == kNone && (visits >= expected_.size() || !(seen == expected_[visits]))) {
      firstMismatch = visits;
    }
    ++visits;
  }

  static constexpr size_t kNone = SIZE_MAX;
  size_t visits = 0;
  size_t firstMismatch = kNone;

 private:
  const std::vector<ReferenceVisit>& expected_;
};

const char kGermanText[] =
    "die w\xf6rter eines artikels werden gez\xe4hlt und im wortbaum abgelegt jeder knoten "
    "steht f\xfcr einen anfang eines wortes stra\xdf"
    "e stra\xdf"
    "enbahn haus h\xe4user "
    "hausmeister donaudampfschifffahrt \xfc"
    "berall \xe4rger \xf6l gr\xf6\xdf"
    "e und oder aber";

// Words of every kind the crawler meets and some it should never meet but must survive: German
// words and compounds, one-character words, prefixes of earlier words, random bytes 33..255,
// nodes with more children than a listed block holds, and long words.
std::vector<std::string> mixedWords(std::mt19937& random, size_t count) {
  std::vector<std::string> german;
  std::string word;
  for (const char* p = kGermanText;; ++p) {
    if (*p == ' ' || *p == '\0') {
      german.push_back(word);
      word.clear();
      if (*p == '\0') break;
    } else {
      word += *p;
    }
  }
  const auto anyByte = [&random] { return static_cast<char>(33 + random() % 223); };
  std::vector<std::string> words;
  while (words.size() < count) {
    word.clear();
    switch (random() % 10) {
      case 0:
      case 1:
      case 2:
        word = german[random() % german.size()];
        if (random() % 2) word += german[random() % german.size()];
        break;
      case 3:
        word = std::string(1, anyByte());
        break;
      case 4:
        for (size_t n = 1 + random() % 8; n > 0; --n) word += anyByte();
        break;
      case 5:
      case 6:
        if (words.empty()) continue;
        word = words[random() % words.size()];
        word.resize(1 + random() % word.size());
        break;
      case 7:
        word = std::string("ab") + anyByte();
        break;
      case 8:
        for (size_t n = 1 + random() % 7; n > 0; --n) word += "abc\xfc"[random() % 4];
        break;
      default:
        if (random() % 100 != 0) {
          word = std::string("q") + anyByte() + anyByte();
        } else {
          word.assign(200 + random() % 2000, 'l');
          word[random() % word.size()] = anyByte();
        }
    }
    words.push_back(word);
  }
  return words;
}

TEST(TrieLayout, AgreesWithTheNineHundredByteTrieInsertByInsertAndVisitByVisit) {
  std::mt19937 random(2024);
  const std::vector<std::string> words = mixedWords(random, 30000);
  ReferenceTrie reference;
  WordTrie trie;
  const std::vector<std::string_view> views(words.begin(), words.end());
  std::vector<std::string_view> inserted;  // in the order the trie got them
  std::vector<uint32_t> created;
  const auto insert = [&](size_t from, size_t n) {
    const size_t at = inserted.size();
    inserted.insert(inserted.end(), views.begin() + from, views.begin() + from + n);
    created.resize(inserted.size());
    if (n == 1) {
      created[at] = trie.insertWord(inserted[at]);
    } else {
      trie.insertWords(inserted.data() + at, n, created.data() + at);
    }
  };
  for (size_t done = 0; done < views.size();) {
    // Now and then the blocks are laid out afresh, as a growing trie has them laid out, and the
    // words just read come again: counted where their nodes stand now.
    if (random() % 50 == 0) {
      trie.layOutInWalkOrder();
      insert(done - std::min<size_t>(done, 64), std::min<size_t>(done, 64));
    }
    const size_t n = std::min<size_t>(1 + random() % 130, views.size() - done);
    insert(done, n);
    done += n;
  }
  for (size_t i = 0; i < inserted.size(); ++i) {
    ASSERT_EQ(created[i], reference.insertWord(inserted[i])) << "word " << i;
  }
  ASSERT_EQ(trie.nodeCount(), reference.nodeCount());

  for (const std::string& word : words) {
    ASSERT_EQ(trie.lookupWord(word), reference.lookupWord(word)) << word;
    const std::string longer = word + "e";
    ASSERT_EQ(trie.lookupWord(longer), reference.lookupWord(longer)) << longer;
  }

  const std::vector<ReferenceVisit> expected = reference.walk();
  ASSERT_EQ(expected.size(), trie.nodeCount());
  CheckingVisitor visitor(expected);
  walkTrie(trie, visitor);
  EXPECT_EQ(visitor.visits, expected.size());
  EXPECT_EQ(visitor.firstMismatch, CheckingVisitor::kNone);
  // Cut walks: the full walk's beginning, ending inside a subtree, at a root and past the end.
  for (uint64_t limit : {uint64_t{0}, uint64_t{1}, uint64_t{'q' - 32}, uint64_t{4321},
                         uint64_t{expected.size()}, uint64_t{expected.size() + 9}}) {
    CheckingVisitor cut(expected);
    walkTrie(trie, cut, limit);
    EXPECT_EQ(cut.visits, std::min<uint64_t>(limit, expected.size())) << limit;
    EXPECT_EQ(cut.firstMismatch, CheckingVisitor::kNone) << limit;
  }
}

}  // namespace
}  // namespace ws
