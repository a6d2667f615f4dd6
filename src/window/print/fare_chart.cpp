#include "window/print/fare_chart.h"
#include "conversion/print_wording.h"
#include "conversion/wording.h"

#include <QColor>
#include <QHash>

#include "window/fare_table_model.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

using fare_model::RecordDifference;

quint64 Key(int row, int column) {
    return (static_cast<quint64>(row) << 32) | static_cast<quint32>(column);
}

QString DateText(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("yyyy/MM/dd HH:mm")) : QString();
}

}  // namespace

FareChart MakeFareChart(const FareTableModel& model, const TableMarks& marks,
                        const ChartSource& source) {
    const bool revision = !marks.differences.empty();
    FareChart chart;
    chart.title = FromUtf8(conversion::ChartTitle(revision));
    chart.facts = FromUtf8(conversion::ChartFactsText(
        source.fileName.toStdString(), DateText(source.modified).toStdString(),
        static_cast<size_t>(model.rowCount()), DateText(source.printed).toStdString()));
    QStringList legend;
    if (!marks.notices.empty()) {
        legend.append(FromUtf8(conversion::NoticeLegendText()));
    }
    // The old value of every changed zone and fare, by its cell.
    QHash<quint64, int> oldValues;
    for (const RecordDifference& difference : marks.differences) {
        if (difference.kind == RecordDifference::Kind::kFareChanged ||
            difference.kind == RecordDifference::Kind::kZoneChanged) {
            oldValues.insert(Key(difference.row - 1, *difference.field() - 1), difference.oldValue);
        } else {
            chart.notes.append(FromUtf8(conversion::DifferenceText(difference)));
        }
    }
    if (revision) {
        chart.summary =
            FromUtf8(conversion::RevisionSummaryText(fare_model::CountRevision(marks.differences)));
        legend.append(FromUtf8(conversion::ChangedLegendText()));
    }
    chart.legend = legend.join(QStringLiteral("　"));
    if (!marks.notices.empty()) {
        chart.notes.append(FromUtf8(conversion::NoticeCountText(marks.notices.size())));
        for (const fare_model::Notice& notice : marks.notices) {
            chart.notes.append(FromUtf8(conversion::NoticeText(notice)));
        }
    }

    const int columns = model.columnCount();
    for (int column = 0; column < columns; ++column) {
        chart.headings.append(model.headerData(column, Qt::Horizontal).toString());
    }
    chart.rows.reserve(static_cast<size_t>(model.rowCount()));
    for (int row = 0; row < model.rowCount(); ++row) {
        std::vector<ChartCell> cells(static_cast<size_t>(columns));
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = model.index(row, column);
            ChartCell& cell = cells[static_cast<size_t>(column)];
            cell.text = index.data(Qt::DisplayRole).toString();
            const QVariant background = index.data(Qt::BackgroundRole);
            if (!background.isValid()) {
                continue;
            }
            cell.mark = background.value<QColor>() == NoticeCellColour() ? ChartMark::kNotice
                                                                         : ChartMark::kChanged;
            // A cell with a notice and a change still shows both values.
            const auto old = oldValues.constFind(Key(row, column));
            if (old != oldValues.constEnd()) {
                cell.text = FromUtf8(conversion::OldAndNewText(*old, cell.text.toInt()));
            }
        }
        chart.rows.push_back(std::move(cells));
    }
    return chart;
}

}  // namespace main_window
