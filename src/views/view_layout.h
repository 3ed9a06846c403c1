#pragma once
// Where the views stand in the window's text grid (rows and columns 1-based).

namespace ws {

// Every view starts on this text row, column 1, below the statistics block of rows 1 to 11.
inline constexpr int kViewRow = 14;

// The column at which the rows of the text views' lists and their timing lines begin.
inline constexpr int kListColumn = 5;

}  // namespace ws
