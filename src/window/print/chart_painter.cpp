#include "window/print/chart_painter.h"
#include "conversion/print_wording.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "window/fare_table_model.h"
#include "window/layout_table.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

constexpr int kNumberColumn = -1;  // the row numbers, before the model's columns

struct Fonts {
    QFont plain;
    QFont bold;
    QFont title;
};

Fonts ChartFonts() {
    QFont plain(FromUtf8(kFontFamily));
    plain.setPointSizeF(8);
    QFont bold = plain;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSizeF(12);
    return {plain, bold, title};
}

// Everything the pages are drawn with, measured on the device.
class ChartDrawing {
  public:
    ChartDrawing(const FareChart& chart, QPainter& painter, QPaintDevice& device)
        : chart_(chart),
          painter_(painter),
          fonts_(ChartFonts()),
          plain_(fonts_.plain, &device),
          bold_(fonts_.bold, &device),
          title_(fonts_.title, &device) {
        pad_ = plain_.horizontalAdvance(QLatin1Char('0')) / 2 + 1;
        line_ = plain_.height() + pad_;
        ChartGeometry& g = geometry_;
        g.pageWidth = device.width();
        g.pageHeight = device.height();
        g.aboveGrid = title_.height() + line_ * (chart.summary.isEmpty() ? 1 : 2) + pad_;
        g.belowGrid = line_ + pad_;
        g.headingHeight = line_ + pad_;
        g.rowHeight = line_ + pad_;
        g.rows = static_cast<int>(chart.rows.size());
        g.numberWidth = Width(plain_, QString::number(std::max(1, g.rows)));
        const int columns = static_cast<int>(chart.headings.size());
        std::vector<int> widths(static_cast<size_t>(columns), 0);
        for (int column = 0; column < columns; ++column) {
            widths[static_cast<size_t>(column)] = Width(plain_, chart.headings[column]);
        }
        for (const std::vector<ChartCell>& row : chart.rows) {
            for (size_t column = 0; column < row.size() && column < widths.size(); ++column) {
                const QFontMetrics& metrics =
                    row[column].mark == ChartMark::kChanged ? bold_ : plain_;
                widths[column] = std::max(widths[column], Width(metrics, row[column].text));
            }
        }
        if (columns > FareTableModel::kZoneColumn) {
            g.placeWidth = std::min(widths[FareTableModel::kPlaceColumn], g.pageWidth / 3);
            g.zoneWidth = widths[FareTableModel::kZoneColumn];
            g.fareWidths.assign(widths.begin() + FareTableModel::kFirstFareColumn, widths.end());
        }
        pages_ = LayOutChart(g);
        notesPerPage_ = std::max(1, (g.pageHeight - g.aboveGrid - g.belowGrid) / line_ - 1);
        notePages_ =
            chart.notes.isEmpty()
                ? 0
                : (static_cast<int>(chart.notes.size()) + notesPerPage_ - 1) / notesPerPage_;
    }

    const std::vector<ChartPage>& Pages() const { return pages_; }
    int NotePages() const { return notePages_; }
    int TotalPages() const { return std::max(1, static_cast<int>(pages_.size()) + notePages_); }

    void DrawGridPage(const ChartPage& page, int number) {
        DrawFrame(number);
        int y = geometry_.aboveGrid;
        DrawRow(kNumberColumn - 1, page, y);  // the headings
        y += geometry_.headingHeight;
        for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
            DrawRow(row, page, y);
            y += geometry_.rowHeight;
        }
    }

    void DrawNotePage(int notePage, int number) {
        DrawFrame(number);
        painter_.setFont(fonts_.bold);
        int y = geometry_.aboveGrid;
        DrawText(QRect(0, y, geometry_.pageWidth, line_), Qt::AlignLeft,
                 FromUtf8(conversion::ChartNotesHeading()), bold_);
        painter_.setFont(fonts_.plain);
        const int first = notePage * notesPerPage_;
        const int last = std::min(static_cast<int>(chart_.notes.size()), first + notesPerPage_);
        for (int k = first; k < last; ++k) {
            y += line_;
            DrawText(QRect(0, y, geometry_.pageWidth, line_), Qt::AlignLeft, chart_.notes[k],
                     plain_);
        }
    }

  private:
    int Width(const QFontMetrics& metrics, const QString& text) const {
        return metrics.horizontalAdvance(text) + 2 * pad_ + 2;
    }

    // One line of text in `box`, shortened with "…" where it would run past it.
    void DrawText(const QRect& box, Qt::Alignment alignment, const QString& text,
                  const QFontMetrics& metrics) {
        painter_.drawText(box, static_cast<int>(alignment | Qt::AlignVCenter),
                          metrics.elidedText(text, Qt::ElideRight, box.width()));
    }

    // The title lines, the legend and the page number.
    void DrawFrame(int number) {
        const int width = geometry_.pageWidth;
        painter_.setFont(fonts_.title);
        DrawText(QRect(0, 0, width, title_.height()), Qt::AlignLeft, chart_.title, title_);
        painter_.setFont(fonts_.plain);
        int y = title_.height();
        DrawText(QRect(0, y, width, line_), Qt::AlignLeft, chart_.facts, plain_);
        if (!chart_.summary.isEmpty()) {
            y += line_;
            DrawText(QRect(0, y, width, line_), Qt::AlignLeft, chart_.summary, plain_);
        }
        const int bottom = geometry_.pageHeight - line_;
        const QString pageText = FromUtf8(conversion::PageNumberText(number, TotalPages()));
        // Wider spaces around the slash, so that "1 / 3" reads as three words in the PDF too.
        QFont pageFont = fonts_.plain;
        pageFont.setWordSpacing(plain_.horizontalAdvance(QLatin1Char(' ')));
        const QFontMetrics pageMetrics(pageFont, painter_.device());
        const int pageWidth = Width(pageMetrics, pageText);
        DrawText(QRect(0, bottom, (width - pageWidth) / 2, line_), Qt::AlignLeft, chart_.legend,
                 plain_);
        painter_.setFont(pageFont);
        DrawText(QRect((width - pageWidth) / 2, bottom, pageWidth, line_), Qt::AlignHCenter,
                 pageText, pageMetrics);
        painter_.setFont(fonts_.plain);
    }

    // One row of the grid at `y`: the row's number, place and zone, then the page's fares.
    // `row` before the first is the headings.
    void DrawRow(int row, const ChartPage& page, int y) {
        const bool heading = row < 0;
        const int height = heading ? geometry_.headingHeight : geometry_.rowHeight;
        int x = 0;
        auto cell = [&](int column, int width) {
            const QRect box(x, y, width, height);
            x += width;
            painter_.setPen(QPen(Qt::black, 0));
            painter_.setBrush(Qt::NoBrush);
            painter_.setFont(heading ? fonts_.bold : fonts_.plain);
            if (heading) {
                painter_.fillRect(box, QColor(230, 230, 230));
                painter_.drawRect(box);
                const QString text = column == kNumberColumn ? QString() : chart_.headings[column];
                DrawText(box.adjusted(pad_, 0, -pad_, 0), Qt::AlignHCenter, text, bold_);
                return;
            }
            if (column == kNumberColumn) {
                painter_.drawRect(box);
                DrawText(box.adjusted(pad_, 0, -pad_, 0), Qt::AlignRight, QString::number(row + 1),
                         plain_);
                return;
            }
            const ChartCell& shown =
                chart_.rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
            const QFontMetrics* metrics = &plain_;
            if (shown.mark == ChartMark::kNotice) {
                // Light orange, and dotted where printed in black and white.
                painter_.fillRect(box, NoticeCellColour());
                painter_.fillRect(box, QBrush(Qt::darkGray, Qt::Dense7Pattern));
            } else if (shown.mark == ChartMark::kChanged) {
                painter_.fillRect(box, ChangedCellColour());
                painter_.setFont(fonts_.bold);
                metrics = &bold_;
            }
            painter_.drawRect(box);
            if (shown.mark == ChartMark::kChanged) {
                // A thick frame inside the cell marks it without colour.
                painter_.setPen(QPen(Qt::black, std::max(2, pad_ / 2)));
                painter_.drawRect(box.adjusted(1, 1, -1, -1));
                painter_.setPen(QPen(Qt::black, 0));
            }
            const bool place = column == FareTableModel::kPlaceColumn;
            DrawText(box.adjusted(pad_, 0, -pad_, 0), place ? Qt::AlignLeft : Qt::AlignRight,
                     shown.text, *metrics);
        };
        cell(kNumberColumn, geometry_.numberWidth);
        cell(FareTableModel::kPlaceColumn, geometry_.placeWidth);
        cell(FareTableModel::kZoneColumn, geometry_.zoneWidth);
        for (int fare = page.firstFare; fare < page.firstFare + page.fareCount; ++fare) {
            cell(FareTableModel::kFirstFareColumn + fare,
                 geometry_.fareWidths[static_cast<size_t>(fare)]);
        }
    }

    const FareChart& chart_;
    QPainter& painter_;
    Fonts fonts_;
    QFontMetrics plain_, bold_, title_;
    int pad_ = 1;
    int line_ = 1;
    ChartGeometry geometry_;
    std::vector<ChartPage> pages_;
    int notesPerPage_ = 1;
    int notePages_ = 0;
};

}  // namespace

QPageLayout DefaultChartPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

std::optional<PaintedChart> PaintChart(const FareChart& chart, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return std::nullopt;
    }
    ChartDrawing drawing(chart, painter, device);
    int number = 1;
    bool ok = true;
    auto nextPage = [&] {
        if (number > 1) {
            ok = ok && device.newPage();
        }
    };
    for (const ChartPage& page : drawing.Pages()) {
        nextPage();
        drawing.DrawGridPage(page, number++);
    }
    for (int notePage = 0; notePage < drawing.NotePages(); ++notePage) {
        nextPage();
        drawing.DrawNotePage(notePage, number++);
    }
    if (number == 1) {
        drawing.DrawNotePage(0, number);  // a table without rows: the title lines alone
    }
    ok = painter.end() && ok;
    if (!ok) {
        return std::nullopt;
    }
    return PaintedChart{drawing.Pages(), drawing.NotePages()};
}

std::optional<QByteArray> ChartPdf(const FareChart& chart, const QPageLayout& layout) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly)) {
            return std::nullopt;
        }
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setPageLayout(layout);
        writer.setTitle(chart.title);
        writer.setCreator(QStringLiteral("rukanoba3"));
        if (!PaintChart(chart, writer)) {
            return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace main_window
