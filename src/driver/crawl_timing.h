#pragma once

namespace ws {

// The run's timing values, in seconds of the screen service's clock.
struct CrawlTiming {
  double startTime = 0.0;
  double readStartTime = 0.0;
  // Sum over all counted articles of the local work (extraction, splitting, insertion);
  // network time is never included.
  double readingTime = 0.0;
  // letterCount / wordsTotal as of the last statistics block; kept while wordsTotal is 0.
  double averageWordLength = 0.0;
};

}  // namespace ws
