#include "conversion/formats/workbook/workbook_format.h"

#include <algorithm>

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/workbook_file.h"
#include "conversion/formats/workbook/workbook_row_source.h"

namespace conversion::workbook {
namespace {

// A book without sheets holds no rows: there is nothing to convert.
class NoRows : public RowSource {
  public:
    TableCount CountRows() override { return {}; }
    void Restart(const TableCount&) override {}
    Row ReadRow(bool, FareLineRecord&, Notices&) override { return Row::kEnd; }
    int rowNumber() const override { return 0; }
};

std::unique_ptr<RowSource> OpenSheet(platform::InputFile& input, const SourceRequest& request) {
    std::shared_ptr<const Workbook> book = ReadWorkbook(input);
    const NameList& names = book->sheetNames();
    size_t sheet = 0;
    if (request.sheet) {
        std::optional<size_t> found = names.Find(*request.sheet);
        if (!found) {
            throw MissingSheet(*request.sheet, names);
        }
        sheet = *found;
    } else if (names.empty()) {
        return std::make_unique<NoRows>();
    }
    return std::make_unique<WorkbookRowSource>(
        std::move(book),
        TablePlace{sheet, request.sheet.has_value(), request.startRow.value_or(1)});
}

}  // namespace

const InputFormat kWorkbookFormat = {
    [](std::string_view firstBytes) { return ContainerOf(firstBytes) != Container::kOther; },
    OpenSheet,
};

}  // namespace conversion::workbook
