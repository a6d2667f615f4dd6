#pragma once

#include <QStringList>

#include "platform/desktop/file_dialog.h"

namespace platform {

// Turns a filter in the common dialog convention ("description|pattern;pattern|…") into
// Qt's name filters, which read the patterns from the last parentheses of each entry:
// "テキストファイル(*.txt,*.csv)|*.txt;*.csv" becomes
// "テキストファイル(*.txt,*.csv) (*.txt *.csv)". A description without a pattern is dropped.
QStringList QtNameFilters(const QString& commonFilter);

// Qt's own file dialog rather than the desktop's native one, so that it reads in Japanese
// whatever the user's locale. File names match the patterns without regard to case.
class QtFileDialog : public FileDialog {
  public:
    std::optional<QString> Choose(QWidget* parent, const FileDialogRequest& request) override;
};

}  // namespace platform
