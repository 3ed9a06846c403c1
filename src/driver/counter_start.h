#pragma once
// Where the crawl's counters stand when it starts, fixed when the program is built. The program
// starts from zero; the boundary build starts its counters just below 2^32 and gives a few
// frequent words counts near 2^31 and 2^32, so that a run crosses every old wrap point of the
// statistics block, view 3 and the word dump in its first seconds, as if it had been crawling
// for a day. A crawler executable links exactly one definition: ws_counter_start (zero) or
// ws_counter_start_near_wrap.

#include <string_view>
#include <utility>
#include <vector>

#include "driver/crawl_counters.h"
#include "trie/trie_node.h"

namespace ws {

struct CounterStart {
  // The start values of every counter but nodeCount, which always counts the trie's nodes.
  CrawlCounters counters;
  // Words counted this often before the first article (their nodes are the trie's from the
  // start; their counts are not added to the word counters, which `counters` sets).
  std::vector<std::pair<std::string_view, WordCount>> words;
};

// The start of this build.
const CounterStart& builtCounterStart();

}  // namespace ws
