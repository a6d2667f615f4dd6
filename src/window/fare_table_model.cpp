#include "window/fare_table_model.h"
#include "conversion/wording.h"

#include <QColor>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <string_view>

#include "window/status_details.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

QString FromUtf32(const std::u32string& text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

// The grid's column for a field of the line (1 the place name, 2 the zone, 3 Fares(1)).
int ColumnOfField(int field) {
    return field - 1;
}

// A cell's text as one spreadsheet cell: a tab or line end inside it would split it.
QString OneCell(QString text) {
    for (QChar& ch : text) {
        if (ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            ch = QLatin1Char(' ');
        }
    }
    return text;
}

}  // namespace

QColor NoticeCellColour() {
    return QColor(255, 214, 153);
}

QColor ChangedCellColour() {
    return QColor(189, 222, 255);
}

FareTableModel::FareTableModel(std::vector<fare_model::FareLineRecord> records,
                               const TableMarks& marks, QObject* parent)
    : QAbstractTableModel(parent), records_(std::move(records)) {
    shownFares_.reserve(records_.size());
    for (const fare_model::FareLineRecord& record : records_) {
        shownFares_.push_back(static_cast<int>(fare_model::FaresInUse(record)));
        fareColumns_ = std::max(fareColumns_, shownFares_.back());
    }
    const int rows = static_cast<int>(records_.size());
    auto inTable = [&](int row, std::optional<int> field) {
        return field && row >= 1 && row <= rows && *field >= 1 &&
               *field <= kFirstFareColumn + fare_model::kFareCount;
    };
    for (const fare_model::Notice& notice : marks.notices) {
        const QString text = FromUtf8(conversion::NoticeText(notice));
        const int row = notice.line - marks.firstLine + 1;
        if (notice.kind == fare_model::Notice::Kind::kHiddenColumn && inTable(1, notice.field)) {
            // Every cell of a column hidden in the sheet.
            for (int r = 0; r < rows; ++r) {
                marks_[Key(r, ColumnOfField(*notice.field))].notices.append(text);
            }
        } else if (notice.kind == fare_model::Notice::Kind::kHiddenRow && inTable(row, 1)) {
            marks_[Key(row - 1, ColumnOfField(1))].notices.append(text);
        } else if (inTable(row, notice.field)) {
            marks_[Key(row - 1, ColumnOfField(*notice.field))].notices.append(text);
        }
    }
    for (const fare_model::RecordDifference& difference : marks.differences) {
        using Kind = fare_model::RecordDifference::Kind;
        const std::optional<int> field =
            difference.kind == Kind::kRowAdded ? std::optional<int>(1) : difference.field();
        if (inTable(difference.row, field)) {
            marks_[Key(difference.row - 1, ColumnOfField(*field))].changes.append(
                FromUtf8(conversion::DifferenceText(difference)));
            // A fare changed to 0 at the end of its row must still have a column.
            fareColumns_ = std::max(fareColumns_, ColumnOfField(*field) - kFirstFareColumn + 1);
        }
    }
}

int FareTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int FareTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstFareColumn + fareColumns_;
}

const FareTableModel::CellMark* FareTableModel::MarkAt(int row, int column) const {
    if (marks_.isEmpty()) {
        return nullptr;
    }
    auto at = marks_.constFind(Key(row, column));
    return at == marks_.constEnd() ? nullptr : &*at;
}

QString FareTableModel::Text(int row, int column) const {
    const fare_model::FareLineRecord& record = records_[static_cast<size_t>(row)];
    if (column == kPlaceColumn) {
        return FromUtf32(record.PlaceName);
    }
    if (column == kZoneColumn) {
        return QString::number(record.ZoneNumber);
    }
    const int fare = column - kFirstFareColumn;
    // A row's trailing zeros are what its line left out; a changed one is still shown.
    if (fare >= shownFares_[static_cast<size_t>(row)] && MarkAt(row, column) == nullptr) {
        return QString();
    }
    return QString::number(record.Fares[static_cast<size_t>(fare)]);
}

QVariant FareTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return index.column() == kPlaceColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                  : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole:
        case Qt::ToolTipRole: {
            const CellMark* mark = MarkAt(index.row(), index.column());
            if (mark == nullptr) {
                return QVariant();
            }
            if (role == Qt::BackgroundRole) {
                return mark->notices.isEmpty() ? ChangedCellColour() : NoticeCellColour();
            }
            return PlainToolTip(mark->notices + mark->changes);
        }
        default:
            return QVariant();
    }
}

QVariant FareTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    if (section == kPlaceColumn) {
        return QStringLiteral("地名");
    }
    if (section == kZoneColumn) {
        return QStringLiteral("ゾーン");
    }
    return QStringLiteral("運賃%1").arg(section - kFirstFareColumn + 1);
}

QString FareTableModel::TabSeparated(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) {
        return QString();
    }
    int top = rowCount(), bottom = -1, left = columnCount(), right = -1;
    QSet<quint64> selected;
    for (const QModelIndex& index : indexes) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
        selected.insert(Key(index.row(), index.column()));
    }
    QString text;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left) {
                text += QLatin1Char('\t');
            }
            if (selected.contains(Key(row, column))) {
                text += OneCell(Text(row, column));
            }
        }
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace main_window
