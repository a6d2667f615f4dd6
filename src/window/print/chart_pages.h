#pragma once

#include <vector>

namespace main_window {

// The sizes a printed chart is laid out with, in the device's units. The place and zone
// columns and the row of fare headings stand on every page; the fare columns and the rows
// are shared out over the pages.
struct ChartGeometry {
    int pageWidth = 0;  // the printable area
    int pageHeight = 0;
    int aboveGrid = 0;      // the title lines over the grid, on every page
    int belowGrid = 0;      // the page number and legend under it
    int headingHeight = 0;  // the row of fare headings
    int rowHeight = 0;
    int numberWidth = 0;  // the row numbers
    int placeWidth = 0;   // at most a third of the page's width
    int zoneWidth = 0;
    std::vector<int> fareWidths;  // one per fare column
    int rows = 0;
};

// One page of the chart: the rows and fare columns it shows.
struct ChartPage {
    int firstRow = 0;
    int rowCount = 0;
    int firstFare = 0;
    int fareCount = 0;

    friend bool operator==(const ChartPage&, const ChartPage&) = default;
};

// The pages in the order they print: down the rows first, then across to the next band of
// fare columns, as a spreadsheet prints. A cell is never split: a page takes the rows and
// columns that fit whole, and at least one of each where not even one fits. No pages for a
// table without rows.
std::vector<ChartPage> LayOutChart(const ChartGeometry& geometry);

}  // namespace main_window
