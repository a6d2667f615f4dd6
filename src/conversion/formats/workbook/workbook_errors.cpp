#include "conversion/formats/workbook/workbook_errors.h"

#include <algorithm>

#include "conversion/name_wording.h"

namespace conversion::workbook {

// Names inside a book (parts, sheets) are the book's to choose, at any length: a message
// quotes them shortened.
RunError UnreadableBook(Reason why, std::string_view where, int64_t line) {
    return RunError(error_code::kBadFileFormat, why)
        .WithText(ShortenedName(where))
        .WithNumber(line);
}

RunError PartTooLarge(std::string_view part, size_t limit) {
    return RunError(error_code::kOverflow, Reason::kPartTooLarge)
        .WithText(ShortenedName(part))
        .WithNumber(static_cast<int64_t>(limit));
}

RunError CellTextTooLong(std::string_view sheet, std::string_view reference) {
    return RunError(error_code::kOverflow, Reason::kCellTextTooLong)
        .WithText(ShortenedName(sheet) + "!" + std::string(reference));
}

RunError MissingSheet(std::string_view name, const NameList& sheets) {
    return RunError(error_code::kSubscriptOutOfRange, Reason::kMissingSheet)
        .WithText(ShortenedName(name))
        .WithNames(FirstNames(sheets))
        .WithNumber(static_cast<int64_t>(sheets.size()));
}

std::vector<std::string> FirstNames(const NameList& sheets) {
    std::vector<std::string> first;
    for (size_t k = 0; k < std::min(sheets.size(), kShownNames); ++k) {
        first.push_back(ShortenedName(sheets[k]));
    }
    return first;
}

}  // namespace conversion::workbook
