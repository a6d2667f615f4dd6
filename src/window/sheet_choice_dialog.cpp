#include "window/sheet_choice_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "conversion/formats/workbook/sheet_row.h"
#include "conversion/name_wording.h"
#include "window/utf8_text.h"

namespace main_window {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString SheetLabel(const conversion::workbook::SheetOverview& sheet) {
    const QString name = Text(conversion::ShortenedName(sheet.name));
    if (sheet.rows == 0) {
        return QStringLiteral("%1（空）").arg(name);
    }
    return QStringLiteral("%1（%2行 × %3列）").arg(name).arg(sheet.rows).arg(sheet.columns);
}

}  // namespace

SheetChoiceDialog::SheetChoiceDialog(const conversion::workbook::BookOverview& book,
                                     QWidget* parent)
    : QDialog(parent), book_(book) {
    setObjectName(QStringLiteral("SheetChoiceDialog"));
    setWindowTitle(QStringLiteral("変換するシートと表の始まり"));

    sheets_ = new QListWidget(this);
    sheets_->setObjectName(QStringLiteral("SheetList"));
    for (const auto& sheet : book.sheets) {
        sheets_->addItem(SheetLabel(sheet));
    }
    auto* sheetsLabel = new QLabel(QStringLiteral("シート(&S):"), this);
    sheetsLabel->setBuddy(sheets_);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("SheetPreview"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview_->setSelectionMode(QAbstractItemView::SingleSelection);
    preview_->setMinimumSize(560, 260);
    preview_->setWordWrap(false);

    startRow_ = new QSpinBox(this);
    startRow_->setObjectName(QStringLiteral("StartRow"));
    auto* startLabel = new QLabel(QStringLiteral("表の始まりの行(&R):"), this);
    startLabel->setBuddy(startRow_);
    auto* hint = new QLabel(
        QStringLiteral("表の最初の停留所の行を選んでください。その上の行（表題や見出し）は変換し"
                       "ません。"),
        this);
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("変換(&C)"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheetsLabel);
    layout->addWidget(sheets_);
    layout->addWidget(preview_, 1);
    auto* startLine = new QHBoxLayout;
    startLine->addWidget(startLabel);
    startLine->addWidget(startRow_);
    startLine->addStretch(1);
    layout->addLayout(startLine);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    sheets_->setMaximumHeight(sheets_->sizeHintForRow(0) * std::min<int>(6, book.sheets.size()) +
                              2 * sheets_->frameWidth() + 4);

    connect(sheets_, &QListWidget::currentRowChanged, this, &SheetChoiceDialog::ShowSheet);
    connect(startRow_, &QSpinBox::valueChanged, this, &SheetChoiceDialog::ShowStartRow);
    connect(preview_, &QTableWidget::cellClicked, this,
            [this](int row, int) { startRow_->setValue(row + 1); });
    sheets_->setCurrentRow(static_cast<int>(book.SuggestedSheet()));
    sheets_->setFocus();
}

void SheetChoiceDialog::ShowSheet(int index) {
    if (index < 0 || static_cast<size_t>(index) >= book_.sheets.size()) {
        return;
    }
    const auto& sheet = book_.sheets[static_cast<size_t>(index)];
    preview_->clear();
    preview_->setRowCount(static_cast<int>(sheet.preview.size()));
    preview_->setColumnCount(static_cast<int>(conversion::workbook::kPreviewColumns));
    QStringList columns;
    for (uint32_t column = 1; column <= conversion::workbook::kPreviewColumns; ++column) {
        columns.append(Text(conversion::workbook::ColumnLetters(column)));
    }
    preview_->setHorizontalHeaderLabels(columns);
    for (size_t row = 0; row < sheet.preview.size(); ++row) {
        for (size_t column = 0; column < sheet.preview[row].size(); ++column) {
            preview_->setItem(static_cast<int>(row), static_cast<int>(column),
                              new QTableWidgetItem(Text(sheet.preview[row][column])));
        }
    }
    startRow_->setRange(1, static_cast<int>(std::max<uint32_t>(sheet.rows, 1)));
    startRow_->setValue(static_cast<int>(sheet.tableRow.value_or(1)));
    ShowStartRow(startRow_->value());
}

void SheetChoiceDialog::ShowStartRow(int row) {
    const QColor greyed = palette().color(QPalette::Disabled, QPalette::Text);
    const QColor normal = palette().color(QPalette::Active, QPalette::Text);
    for (int r = 0; r < preview_->rowCount(); ++r) {
        for (int c = 0; c < preview_->columnCount(); ++c) {
            if (QTableWidgetItem* item = preview_->item(r, c)) {
                item->setForeground(r + 1 < row ? greyed : normal);
            }
        }
    }
    if (row - 1 < preview_->rowCount()) {
        preview_->selectRow(row - 1);
        preview_->scrollTo(preview_->model()->index(row - 1, 0));
    }
}

SheetChoice SheetChoiceDialog::Choice() const {
    const int index = std::max(sheets_->currentRow(), 0);
    return {book_.sheets.at(static_cast<size_t>(index)).name,
            static_cast<uint32_t>(startRow_->value())};
}

std::optional<SheetChoice> SheetChoiceDialogChooser::Choose(
    QWidget* parent, const conversion::workbook::BookOverview& book) {
    if (book.sheets.empty()) {
        return std::nullopt;
    }
    SheetChoiceDialog dialog(book, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

}  // namespace main_window
