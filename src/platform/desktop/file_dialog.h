#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace platform {

enum class FileDialogMode { kOpen, kSave };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::kOpen;
    // In the common dialog convention: description and pattern alternate, separated by
    // "|", with ";" between the patterns of one entry.
    QString filter;
    QString initialFileName;
    // The folder the dialog opens in; the dialog's own choice where empty.
    QString initialFolder;
};

// The platform's common file dialog.
class FileDialog {
  public:
    virtual ~FileDialog() = default;
    // The chosen path, or nullopt where the user cancelled or the dialog failed.
    virtual std::optional<QString> Choose(QWidget* parent, const FileDialogRequest& request) = 0;
};

}  // namespace platform
