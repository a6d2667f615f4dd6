#include "conversion/formats/workbook/workbook_errors.h"

namespace conversion::workbook {

RunError UnreadableBook(Reason why, std::string_view where, int64_t line) {
    return RunError(error_code::kBadFileFormat, why).WithText(std::string(where)).WithNumber(line);
}

RunError PartTooLarge(std::string_view part, size_t limit) {
    return RunError(error_code::kOverflow, Reason::kPartTooLarge)
        .WithText(std::string(part))
        .WithNumber(static_cast<int64_t>(limit));
}

RunError CellTextTooLong(std::string_view sheet, std::string_view reference) {
    return RunError(error_code::kOverflow, Reason::kCellTextTooLong)
        .WithText(std::string(sheet) + "!" + std::string(reference));
}

RunError MissingSheet(std::string_view name, const std::vector<std::string>& sheets) {
    return RunError(error_code::kSubscriptOutOfRange, Reason::kMissingSheet)
        .WithText(std::string(name))
        .WithNames(sheets);
}

}  // namespace conversion::workbook
