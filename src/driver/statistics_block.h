#pragma once

#include <array>
#include <string>
#include <string_view>

#include "driver/crawl_counters.h"
#include "driver/crawl_timing.h"

namespace ws {

class Canvas;

// The eleven rows of the statistics block, without their line ends. Empty strings are the
// empty rows 3, 6 and 10. The colons of rows 1 to 9 stand in column 34.
using StatisticsRows = std::array<std::string, 11>;

// Recomputes timing.averageWordLength (only when wordsTotal > 0) and returns the rows.
// `now` is the clock reading used for the total run time.
StatisticsRows statisticsRows(const CrawlCounters& counters, CrawlTiming& timing,
                              std::string_view articlePath, double now);

// Prints the block on the text console, each row followed by a line end; `now` as above.
// REQUIRES: the screen was just cleared, cursor at (1, 1), viewport covering the whole screen.
// Leaves the cursor at the start of row 12 (unless a long article path ran on further).
void printStatistics(Canvas& screen, const CrawlCounters& counters, CrawlTiming& timing,
                     std::string_view articlePath, double now);

}  // namespace ws
