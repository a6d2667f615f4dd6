#include "window/status_details.h"
#include "conversion/wording.h"

#include <QFontMetrics>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <string_view>

namespace main_window {
namespace {

// A table full of misread cells gives a notice a line; the tooltip lists the first ones and
// says how many more there are, so that it still fits on the screen.
constexpr qsizetype kMostNoticesInToolTip = 20;

// An explanation may quote a cell of any length; measuring megabytes of text would hold the
// window, and no screen shows more than this of one line anyway.
constexpr qsizetype kLongestDetail = 200;

// UTF-8 text, cut to kLongestDetail characters.
QString FromUtf8(std::string_view text) {
    QString detail = QString::fromUtf8(
        text.data(), static_cast<qsizetype>(std::min(text.size(), size_t{kLongestDetail * 4})));
    if (detail.size() > kLongestDetail) {
        qsizetype kept = kLongestDetail - 1;
        if (detail.at(kept - 1).isHighSurrogate()) {
            --kept;  // never half a character
        }
        detail = detail.left(kept) + QChar(0x2026);
    }
    return detail;
}

QString Others(qsizetype count) {
    return QStringLiteral("（ほか%1件）").arg(count);
}

// The place of the problem, as the core words it, or nothing.
QString Place(const fare_model::RunError& error) {
    if (!error.line()) {
        return QString();
    }
    return QString::fromStdString(
        conversion::PlaceText(*error.line(), error.field(), error.cell()));
}

}  // namespace

// Tooltips that look like markup are drawn as markup; the notices quote the user's cells,
// which may hold "<b>", so such a tooltip is handed over as escaped text.
QString PlainToolTip(const QStringList& lines) {
    const QString joined = lines.join(QLatin1Char('\n'));
    if (!Qt::mightBeRichText(joined)) {
        return joined;
    }
    QStringList escaped;
    for (const QString& line : lines) {
        escaped.append(line.toHtmlEscaped());
    }
    return QStringLiteral("<p style='white-space:pre'>") + escaped.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

QString StatusDetails::FittedLine(const QFontMetrics& metrics, int width) const {
    const QString whole = lead + body + tail;
    if (metrics.horizontalAdvance(whole) <= width) {
        return whole;
    }
    const int room =
        std::max(0, width - metrics.horizontalAdvance(lead) - metrics.horizontalAdvance(tail));
    return lead + metrics.elidedText(body, Qt::ElideRight, room) + tail;
}

StatusDetails DescribeOutcome(const conversion::ConversionOutcome& outcome) {
    using Kind = conversion::ConversionOutcome::Kind;
    StatusDetails details;
    QStringList tip;

    if (outcome.kind == Kind::kFailed && outcome.error) {
        const fare_model::RunError& error = *outcome.error;
        const QString place = Place(error);
        if (!place.isEmpty()) {
            tip.append(QString::fromStdString(conversion::ErrorFoundText(error)));
        }
        const std::string explanation = conversion::ExplanationText(error);
        if (!explanation.empty()) {
            details.lead = place.isEmpty() ? QString() : place + QStringLiteral(": ");
            details.body = FromUtf8(explanation);
            tip.append(details.lead + details.body);
        } else if (!place.isEmpty()) {
            details.body = tip.front();
        }
    } else if (outcome.kind == Kind::kSucceeded) {
        // What the revision changed comes first: it is what must be checked on the card.
        const QString changes =
            outcome.differences
                ? FromUtf8(conversion::DifferenceSummary(outcome.differences->size()))
                : QString();
        if (!changes.isEmpty()) {
            tip.append(changes);
        }
        // A workbook's sheet is named, so that the user sees the table came from the sheet
        // meant.
        const QString sheet =
            outcome.sheet.empty() ? QString() : FromUtf8(conversion::SheetUsedText(outcome.sheet));
        if (!sheet.isEmpty()) {
            tip.prepend(sheet);
        }
        if (!outcome.notices.empty()) {
            details.lead = sheet + changes + FromUtf8(conversion::NoticeMark());
            details.body = FromUtf8(conversion::NoticeText(outcome.notices.front()));
            if (outcome.notices.size() > 1) {
                details.tail = Others(static_cast<qsizetype>(outcome.notices.size()) - 1);
            }
        } else {
            details.body = sheet + changes;
        }
    }

    const auto notices = static_cast<qsizetype>(outcome.notices.size());
    for (qsizetype i = 0; i < std::min(notices, kMostNoticesInToolTip); ++i) {
        tip.append(FromUtf8(conversion::NoticeText(outcome.notices[static_cast<size_t>(i)])));
    }
    if (notices > kMostNoticesInToolTip) {
        tip.append(Others(notices - kMostNoticesInToolTip));
    }
    details.toolTip = PlainToolTip(tip);
    return details;
}

}  // namespace main_window
