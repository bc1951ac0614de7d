#pragma once
// Plotting the loaded table: "Plot Graph" plots every record, "Plot Range"
// the points from the Start Point box to the End Point box. Display 1 goes
// on the first graph and display 2 on the second, always both; the view
// choice only decides which of them the window shows.

namespace loader {

class Loader;

// Both graphs emptied, with their first captions, X ticks and X range;
// the Y range and format stay.
void RESET_LOAD_GRAPHS(Loader &ld);

// "Plot Graph": each record at its own point number; a point of value 0
// one step before the first.
void Graph_SHOW_BUTT_Click(Loader &ld);

// "Plot Range": checks the boxes against the table, then plots the range.
void SET_SHOW_BUTT_Click(Loader &ld);

} // namespace loader
