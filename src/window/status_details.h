#pragma once

#include <QString>
#include <QStringList>

#include "conversion/conversion_run.h"

class QFontMetrics;

namespace main_window {

// What the status label tells below the outcome's own two lines, so that the user sees it
// without hovering: the first notice of a success, or the plain reason of a failure.
struct StatusDetails {
    // The third line, in three pieces so that only the middle one is shortened to fit:
    // "注意: " + the first notice + "（ほか2件）", or the place of the problem + ": " + the
    // explanation.
    QString lead;
    QString body;
    QString tail;
    // Everything, one item a line: the failing line, the explanation, every notice.
    QString toolTip;

    bool HasLine() const { return !lead.isEmpty() || !body.isEmpty() || !tail.isEmpty(); }
    // The third line shortened with an ellipsis to at most `width` pixels, so that it stays
    // one line of the label; the tooltip holds the whole text.
    QString FittedLine(const QFontMetrics& metrics, int width) const;
};

// Tooltips that look like markup are drawn as markup; texts that quote the user's cells may
// hold "<b>", so such a tooltip is handed over as escaped text.
QString PlainToolTip(const QStringList& lines);

// Nothing for a success without notices: the label then shows exactly the outcome's text.
StatusDetails DescribeOutcome(const conversion::ConversionOutcome& outcome);

}  // namespace main_window
