#pragma once

#include <QStringList>

namespace rukanoba3 {

// Whether the command line asks for a PDF without a window: "--pdf" first.
bool AsksForPdf(const QStringList& arguments);

// rukanoba3 --pdf [--compare OLD.hy3] [--] INPUT OUTPUT.pdf: the chart the table window
// prints, written with no window. INPUT is a .hy3 (by its extension), a fare table text or a
// workbook; with --compare, the revision against OLD.hy3. The messages and exit statuses are
// hy3conv's, under this program's name: 0 written, 1 failed (the numbered error), 2 a usage
// error, 3 nothing to print. OUTPUT.pdf is replaced only by a complete PDF. Needs a
// QGuiApplication (the offscreen platform will do).
int RunPdfCommand(const QStringList& arguments);

}  // namespace rukanoba3
