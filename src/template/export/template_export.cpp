#include "template/export/template_export.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_opener.h"
#include "platform/desktop/file_path.h"
#include "platform/desktop/message_box.h"
#include "platform/os/output_file.h"
#include "template/workbook/template_workbook.h"

namespace template_export {
namespace {

// The text template's two entries first, as they always were; then the same rows as a
// workbook, for offices that keep their tables in a spreadsheet.
const QString kFilter = QStringLiteral(
    "テキストファイル(*.txt)|*.txt|CSVファイル(*.CSV)|*.CSV|Excel ブック(*.xlsx)|*.xlsx");
const QString kQuestionTitle = QStringLiteral("テンプレートの自動オープンの確認");
// Four lines, each ending with CR LF; the indent of the last three is part of the text.
const QString kQuestionText = QStringLiteral(
    "テンプレートを提供しました、関連付けられたアプリケーションで\r\n"
    "    自動的に開く場合には「はい」を、\r\n"
    "    ユーザ自身で開く場合には「いいえ」を\r\n"
    "    選択してください。\r\n");

void SaveAndOffer(QWidget* parent, platform::FileDialog& dialog, platform::MessageBox& box,
                  platform::FileOpener& opener) {
    platform::FileDialogRequest request;
    request.mode = platform::FileDialogMode::kSave;
    request.filter = kFilter;
    request.initialFileName = QString();
    const std::optional<QString> path = dialog.Choose(parent, request);
    if (!path)
        return;

    // The whole file is replaced at once: a longer old file keeps no tail, and a failed
    // write leaves the old file as it was instead of emptied.
    // The name decides the form, whichever entry was chosen for it.
    const std::string file = platform::FileSystemPath(*path);
    platform::WriteFileAtomically(file, template_workbook::TemplateForFileName(file));

    if (box.AskYesNo(parent, kQuestionTitle, kQuestionText) == platform::MessageBoxAnswer::kNo) {
        return;
    }
    // Whether the desktop found an application for the file is not reported.
    opener.Open(*path);
}

}  // namespace

void ProvideTemplate(QWidget* parent, platform::FileDialog& dialog, platform::MessageBox& box,
                     platform::FileOpener& opener) noexcept {
    try {
        SaveAndOffer(parent, dialog, box, opener);
    } catch (...) {
        // From the dialog on, every failure ends the command without a message, as the
        // user expects of it; a file already saved stays saved.
    }
}

}  // namespace template_export
