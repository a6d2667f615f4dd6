// The main window's way to the table window: a link at the end of the status label.
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "window/form1.h"

namespace main_window {

void Form1::OfferTable(TableOpener opener) {
    tableOpener_ = std::move(opener);
}

// Built when a conversion first writes a file, not with the window: the first frame has no
// use for a hidden button.
QPushButton* Form1::TableLink() {
    if (tableLink_ != nullptr || !tableOpener_) {
        return tableLink_;
    }
    // A flat button drawn as a link: reachable with Tab from Convert and with Alt+V.
    tableLink_ = new QPushButton(QStringLiteral("内容を見る(&V)"), statusLabel_);
    tableLink_->setObjectName(QStringLiteral("Label5Link"));
    tableLink_->setFlat(true);
    tableLink_->setAutoDefault(false);
    tableLink_->setCursor(Qt::PointingHandCursor);
    QFont underlined = tableLink_->font();
    underlined.setUnderline(true);
    tableLink_->setFont(underlined);
    QPalette palette = tableLink_->palette();
    palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
    tableLink_->setPalette(palette);
    tableLink_->adjustSize();
    // The third of the label's three lines, at its right end.
    const int lineHeight = statusLabel_->fontMetrics().lineSpacing();
    tableLink_->move(statusLabel_->width() - tableLink_->width() - 2,
                     std::min(2 * lineHeight, statusLabel_->height() - tableLink_->height()));
    tableLink_->hide();
    QWidget::setTabOrder(convertButton_, tableLink_);
    connect(tableLink_, &QPushButton::clicked, this, [this] {
        if (tableOpener_) {
            tableOpener_(writtenPath_, writtenOutcome_);
        }
    });
    return tableLink_;
}

}  // namespace main_window
