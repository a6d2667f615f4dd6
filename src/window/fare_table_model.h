#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QModelIndexList>
#include <QString>
#include <vector>

#include "fare_model/fare_line_record.h"
#include "fare_model/notice.h"
#include "fare_model/revision_comparison.h"

namespace main_window {

// What a conversion found about the table it wrote: its notices, and what it changed
// against the file it replaced.
struct TableMarks {
    fare_model::Notices notices;
    fare_model::RecordDifferences differences;
    // The line of the first record: a workbook's table may start below the sheet's first row.
    int firstLine = 1;
};

// The records of a .hy3 as a read-only grid: the place name, the zone, then the fares up to
// the last non-zero fare of any row (a row's own trailing zeros are left blank). Rows are
// numbered from 1 in the vertical header. A cell with a notice, or one the revision changed,
// has its own background and says why in its tooltip.
class FareTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int kPlaceColumn = 0;
    static constexpr int kZoneColumn = 1;
    static constexpr int kFirstFareColumn = 2;

    FareTableModel(std::vector<fare_model::FareLineRecord> records, const TableMarks& marks,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The cells as a spreadsheet pastes them: the rectangle around `indexes`, one line a row,
    // tabs between the cells; cells of the rectangle that are not selected are empty.
    QString TabSeparated(const QModelIndexList& indexes) const;

  private:
    struct CellMark {
        QStringList notices;
        QStringList changes;
    };
    static quint64 Key(int row, int column) {
        return (static_cast<quint64>(row) << 32) | static_cast<quint32>(column);
    }
    QString Text(int row, int column) const;
    const CellMark* MarkAt(int row, int column) const;

    std::vector<fare_model::FareLineRecord> records_;
    std::vector<int> shownFares_;  // per row
    int fareColumns_ = 0;
    QHash<quint64, CellMark> marks_;
};

// The colours of marked cells: a notice (light orange) wins over a change (light blue).
QColor NoticeCellColour();
QColor ChangedCellColour();

}  // namespace main_window
