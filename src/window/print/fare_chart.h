#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace main_window {

class FareTableModel;
struct TableMarks;

// How a printed cell is marked; on paper in black and white too.
enum class ChartMark { kNone, kNotice, kChanged };

struct ChartCell {
    QString text;
    ChartMark mark = ChartMark::kNone;
};

// What a printed fare table says, page layout aside: the lines over the grid, the column
// headings, one row of cells a record (place, zone, fares), and the lines after the table.
struct FareChart {
    QString title;
    QString facts;         // the file's name and date, its records, the date printed
    QString summary;       // a revision's counts; empty for a plain table
    QString legend;        // what the marks mean
    QStringList headings;  // "行" aside: 地名, ゾーン, 運賃1...
    std::vector<std::vector<ChartCell>> rows;
    QStringList notes;  // changes the grid cannot show, and the notices
};

// The file a chart is printed from.
struct ChartSource {
    QString fileName;
    QDateTime modified;  // invalid where unknown
    QDateTime printed;
};

// The chart of what the table window shows: the model's cells and marks. Where `marks`
// holds a revision, a changed value reads "140→150" and the summary counts the changes.
FareChart MakeFareChart(const FareTableModel& model, const TableMarks& marks,
                        const ChartSource& source);

}  // namespace main_window
