#include "platform/desktop/qt_file_dialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace platform {
namespace {

// The extension a save dialog appends to a name typed without one: that of the filter's
// first pattern, where it is a plain "*.ext".
QString SuffixOfFilter(const QString& qtNameFilter) {
    static const QRegularExpression firstPattern(QStringLiteral(R"(\(\*\.(\w+)[ )])"));
    const QRegularExpressionMatch match =
        firstPattern.match(qtNameFilter, qtNameFilter.lastIndexOf(u'('));
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

QStringList QtNameFilters(const QString& commonFilter) {
    QStringList nameFilters;
    if (commonFilter.isEmpty()) {
        return nameFilters;
    }
    const QStringList parts = commonFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
        }
        patterns.removeAll(QString());
        if (patterns.isEmpty()) {
            continue;
        }
        nameFilters.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return nameFilters;
}

std::optional<QString> QtFileDialog::Choose(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The user sees each entry's description only; its patterns are in the description.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const bool saving = request.mode == FileDialogMode::kSave;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);

    const QStringList nameFilters = QtNameFilters(request.filter);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (saving && !nameFilters.isEmpty()) {
        dialog.setDefaultSuffix(SuffixOfFilter(nameFilters.first()));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& nameFilter) {
                             dialog.setDefaultSuffix(SuffixOfFilter(nameFilter));
                         });
    }
    if (!request.initialFolder.isEmpty()) {
        dialog.setDirectory(request.initialFolder);
    }
    if (!request.initialFileName.isEmpty()) {
        dialog.selectFile(request.initialFileName);
    }

    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) {
        return std::nullopt;
    }
    return chosen.first();
}

}  // namespace platform
