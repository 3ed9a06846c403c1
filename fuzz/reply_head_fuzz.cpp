// Checks parseStatusLine and headerValue against a literal model of the reply's head (split at
// every LF, one CR dropped from each line's end), on any bytes: the same status, the same field
// values at the same places in the reply, and values without line ends or surrounding blanks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/reply_head.h"

namespace {

bool inside(std::string_view part, const std::string& whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

bool digit(char c) {
  return c >= '0' && c <= '9';
}

// The reply's lines as views into it, each without its LF and one CR before it; the bytes after
// the last LF are a line of their own (empty when the reply ends with LF). `ended` tells whether
// an LF ended the first line.
std::vector<std::string_view> modelLines(std::string_view reply, bool& ended) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  ended = false;
  for (size_t i = 0; i <= reply.size(); ++i) {
    if (i == reply.size() || reply[i] == '\n') {
      if (i < reply.size() && lines.empty()) ended = true;
      std::string_view line = reply.substr(start, i - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines.push_back(line);
      start = i + 1;
    }
  }
  return lines;
}

std::optional<ws::StatusLine> modelStatus(std::string_view reply) {
  bool ended = false;
  const std::string_view line = modelLines(reply, ended).front();
  const std::string_view shape = "HTTP/d.d ddd";
  if (!ended || line.size() < shape.size()) return std::nullopt;
  for (size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd' ? !digit(line[i]) : line[i] != shape[i]) return std::nullopt;
  }
  if (line[9] == '0' || (line.size() > shape.size() && line[shape.size()] != ' ')) {
    return std::nullopt;
  }
  ws::StatusLine status;
  status.code = std::atoi(std::string(line.substr(9, 3)).c_str());
  if (line.size() > shape.size() + 1) status.reason = line.substr(shape.size() + 1);
  return status;
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::optional<std::string_view> modelHeader(std::string_view reply, std::string_view name) {
  if (!modelStatus(reply)) return std::nullopt;
  bool ended = false;
  const std::vector<std::string_view> lines = modelLines(reply, ended);
  for (size_t i = 1; i < lines.size() && !lines[i].empty(); ++i) {
    const std::string_view line = lines[i];
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon != name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < colon; ++k) same = same && lower(line[k]) == lower(name[k]);
    if (!same) continue;
    size_t first = colon + 1;
    size_t last = line.size();
    while (first < last && isBlank(line[first])) ++first;
    while (last > first && isBlank(line[last - 1])) --last;
    return line.substr(first, last - first);
  }
  return std::nullopt;
}

bool sameView(std::optional<std::string_view> a, std::optional<std::string_view> b) {
  if (!a || !b) return !a && !b;
  return *a == *b && (a->empty() || a->data() == b->data());
}

// The name of the reply's second line (up to its colon) with every letter's case flipped, so the
// field is looked up the way a server in another case would have written it.
std::string flippedSecondName(std::string_view reply) {
  bool ended = false;
  const std::vector<std::string_view> lines = modelLines(reply, ended);
  if (lines.size() < 2) return "Retry-After";
  std::string name(lines[1].substr(0, lines[1].find(':')));
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - ('a' - 'A'));
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c + ('a' - 'A'));
    }
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);

  const std::optional<ws::StatusLine> status = ws::parseStatusLine(reply);
  const std::optional<ws::StatusLine> model = modelStatus(reply);
  if (status.has_value() != model.has_value()) std::abort();
  if (status) {
    if (status->code != model->code || !sameView(status->reason, model->reason)) std::abort();
    if (status->code < 100 || status->code > 999 || !inside(status->reason, reply)) std::abort();
    if (status->reason.find('\n') != std::string_view::npos) std::abort();
  }

  for (const std::string& name : {std::string("Retry-After"), std::string("Date"),
                                  std::string("location"), flippedSecondName(reply)}) {
    const std::optional<std::string_view> value = ws::headerValue(reply, name);
    if (!sameView(value, modelHeader(reply, name))) std::abort();
    if (!value) continue;
    if (!status || !inside(*value, reply) || value->find('\n') != std::string_view::npos) {
      std::abort();
    }
    if (!value->empty() && (isBlank(value->front()) || isBlank(value->back()))) std::abort();
  }
  return 0;
}
