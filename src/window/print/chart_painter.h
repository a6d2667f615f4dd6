#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <optional>
#include <vector>

#include "window/print/chart_pages.h"
#include "window/print/fare_chart.h"

class QPagedPaintDevice;

namespace main_window {

// A chart as it went onto paper: the pages of the grid, then those of the notes.
struct PaintedChart {
    std::vector<ChartPage> gridPages;
    int notePages = 0;
};

// A4 landscape, 10 mm margins: the page a chart prints on unless the print dialog says
// otherwise.
QPageLayout DefaultChartPageLayout();

// Draws `chart` on `device` (a printer or a PDF writer) in the window's face, page after
// page: the title lines, the grid with the row numbers, place names, zones and the fare
// headings repeated on every page, the legend and "1 / 3" under it; then the notes. A place
// name wider than a third of the page is shortened with "…". Nothing where the device
// cannot be painted on (a printer that refused).
std::optional<PaintedChart> PaintChart(const FareChart& chart, QPagedPaintDevice& device);

// The chart as a PDF file's bytes on pages of `layout`, the face's letters embedded; nothing
// where Qt's PDF writer failed.
std::optional<QByteArray> ChartPdf(const FareChart& chart, const QPageLayout& layout);

}  // namespace main_window
