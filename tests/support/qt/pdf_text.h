#pragma once

// What poppler's tools read from a PDF, for tests: its text page by page, its fonts, its
// pages' sizes and where its words stand. A test without the tools skips (GTEST_SKIP).

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <vector>

namespace test_support {

inline bool HavePdfTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString RunPdfTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(120000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of every page, laid out as on the page (pdftotext -layout).
inline QStringList PdfPages(const QString& pdf) {
    QStringList pages =
        RunPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                 QStringLiteral("UTF-8"), pdf, QStringLiteral("-")})
            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

inline QString PdfFonts(const QString& pdf) {
    return RunPdfTool(QStringLiteral("pdffonts"), {pdf});
}

// Every page's size in points and the boxes of the words on it (pdftotext -bbox).
struct PdfWord {
    double xMin, yMin, xMax, yMax;
};
struct PdfPageBoxes {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
};

inline std::vector<PdfPageBoxes> PdfWordBoxes(const QString& pdf) {
    const QString html = RunPdfTool(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<PdfPageBoxes> pages;
    static const QRegularExpression tag(QString::fromLatin1(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|)re"
        R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">)re"));
    for (const QRegularExpressionMatch& match : tag.globalMatch(html)) {
        if (!match.captured(1).isEmpty()) {
            pages.push_back({match.captured(1).toDouble(), match.captured(2).toDouble(), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back(
                {match.captured(3).toDouble(), match.captured(4).toDouble(),
                 match.captured(5).toDouble(), match.captured(6).toDouble()});
        }
    }
    return pages;
}

}  // namespace test_support
