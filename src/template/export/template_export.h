#pragma once

class QWidget;

namespace platform {
class FileDialog;
class MessageBox;
class FileOpener;
}  // namespace platform

namespace template_export {

// The click of the template button: saves the built-in template to a file the user
// chooses and offers to open it in its associated application. Any failure from the
// dialog on ends the command silently; what was done before stays done. Nothing escapes
// to the caller.
void ProvideTemplate(QWidget* parent, platform::FileDialog& dialog, platform::MessageBox& box,
                     platform::FileOpener& opener) noexcept;

}  // namespace template_export
