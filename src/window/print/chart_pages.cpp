#include "window/print/chart_pages.h"

#include <algorithm>

namespace main_window {
namespace {

struct Band {
    int first = 0;
    int count = 0;
};

// The bands of fare columns, each as many whole columns as `width` holds, at least one.
std::vector<Band> FareBands(const std::vector<int>& widths, int width) {
    std::vector<Band> bands;
    const int count = static_cast<int>(widths.size());
    for (int first = 0; first < count;) {
        int used = widths[static_cast<size_t>(first)];
        int last = first + 1;
        while (last < count && used + widths[static_cast<size_t>(last)] <= width) {
            used += widths[static_cast<size_t>(last)];
            ++last;
        }
        bands.push_back({first, last - first});
        first = last;
    }
    if (bands.empty()) {
        bands.push_back({0, 0});  // a table of names and zones only
    }
    return bands;
}

}  // namespace

std::vector<ChartPage> LayOutChart(const ChartGeometry& geometry) {
    std::vector<ChartPage> pages;
    if (geometry.rows <= 0) {
        return pages;
    }
    const int gridHeight =
        geometry.pageHeight - geometry.aboveGrid - geometry.belowGrid - geometry.headingHeight;
    const int rowsPerPage = std::max(1, gridHeight / std::max(1, geometry.rowHeight));
    const int fareWidth =
        geometry.pageWidth - geometry.numberWidth - geometry.placeWidth - geometry.zoneWidth;
    for (const Band& band : FareBands(geometry.fareWidths, fareWidth)) {
        for (int first = 0; first < geometry.rows; first += rowsPerPage) {
            pages.push_back(
                {first, std::min(rowsPerPage, geometry.rows - first), band.first, band.count});
        }
    }
    return pages;
}

}  // namespace main_window
