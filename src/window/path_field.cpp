#include "window/path_field.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <optional>

namespace main_window {
namespace {

// The first local file a drag carries, if any.
std::optional<QString> DroppedFilePath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return std::nullopt;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            return QDir::toNativeSeparators(url.toLocalFile());
        }
    }
    return std::nullopt;
}

// A file drag is taken as a copy or not at all: a "move" would let the file manager delete
// the source once the drop is done, and the field only ever keeps the path. Returns false for
// drags that carry no local file, which the text field handles as usual.
bool HandleFileDrag(QDropEvent* event) {
    if (!DroppedFilePath(event->mimeData())) {
        return false;
    }
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return true;
}

}  // namespace

PathField::PathField(QWidget* parent) : QLineEdit(parent) {
    setAcceptDrops(true);
}

void PathField::dragEnterEvent(QDragEnterEvent* event) {
    if (HandleFileDrag(event)) {
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void PathField::dragMoveEvent(QDragMoveEvent* event) {
    if (HandleFileDrag(event)) {
        return;
    }
    QLineEdit::dragMoveEvent(event);
}

void PathField::dropEvent(QDropEvent* event) {
    if (HandleFileDrag(event)) {
        if (event->isAccepted()) {
            setText(*DroppedFilePath(event->mimeData()));
            setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    QLineEdit::dropEvent(event);
}

}  // namespace main_window
