#include "german_text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "text/lower_case.h"
#include "text/word_splitter.h"

namespace ws::bench {

std::string defaultTextDirectory() {
  if (const char* dir = std::getenv("WORTSAMMLER_BENCH_TEXT_DIR")) return dir;
  return "/usr/share/games/fortunes/de";
}

std::string foldToLatin1(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size() &&
        (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      out += static_cast<char>(((lead & 0x03) << 6) | (utf8[i + 1] & 0x3F));
      ++i;
    } else {
      out += static_cast<char>(lead);
    }
  }
  return out;
}

namespace {

std::string repeatTo(const std::string& once, size_t minBytes) {
  if (once.find_first_not_of(" \r\n\t") == std::string::npos) return "";
  std::string text;
  text.reserve(minBytes + once.size());
  while (text.size() < minBytes) text += once;
  return text;
}

}  // namespace

std::string loadGermanText(size_t minBytes, std::string directory) {
  namespace fs = std::filesystem;
  if (directory.empty()) directory = defaultTextDirectory();
  std::error_code error;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(directory, error)) {
    if (entry.is_symlink() || !entry.is_regular_file()) continue;
    if (entry.path().extension() == ".dat") continue;
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::string once;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    once += foldToLatin1(content.str());
    once += '\n';
  }
  return repeatTo(once, minBytes);
}

std::string loadCorpusText(const std::string& path, size_t minBytes) {
  std::ifstream in(path, std::ios::binary);
  std::string line, once;
  while (std::getline(in, line)) {
    if (line.size() < 2 || (line[0] != 'P' && line[0] != 'L') || line[1] != ' ') continue;
    std::replace(line.begin(), line.end(), '\x7f', '\n');  // verse line ends
    once += foldToLatin1(line.substr(2));
    once += ' ';
  }
  return repeatTo(once, minBytes);
}

std::vector<std::string> vocabulary(std::string text, size_t minLength) {
  lowerCaseInPlace(text);
  std::unordered_set<std::string> seen;
  std::vector<std::string> words;
  forEachWord(text, [&](size_t begin, size_t end) {
    if (end - begin < minLength) return;
    const std::string word = text.substr(begin, end - begin);
    const bool letters = std::all_of(word.begin(), word.end(), [](char c) {
      const auto b = static_cast<unsigned char>(c);
      return (b >= 'a' && b <= 'z') || b >= 0xDF;
    });
    if (letters && seen.insert(word).second) words.push_back(word);
  });
  return words;
}

}  // namespace ws::bench
