#pragma once

#include <QLineEdit>

namespace main_window {

// A single-line path field that also takes a file dragged from the file manager: the drop
// replaces the whole text with the file's local path.
class PathField : public QLineEdit {
    Q_OBJECT

  public:
    explicit PathField(QWidget* parent = nullptr);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace main_window
