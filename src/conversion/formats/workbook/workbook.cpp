#include "conversion/formats/workbook/workbook.h"

#include <algorithm>

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/zip_archive.h"

namespace conversion::workbook {
namespace {

constexpr std::string_view kZipSignatures[] = {"PK\x03\x04", "PK\x05\x06"};
constexpr std::string_view kCompoundSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kOdsMediaType = "application/vnd.oasis.opendocument.spreadsheet";

bool IsOds(const ZipArchive& archive) {
    if (!archive.Has("mimetype")) {
        return false;
    }
    // Templates (".ots") say "-template" after the type; their tables read the same.
    return archive.Read("mimetype").starts_with(kOdsMediaType) && archive.Has("content.xml");
}

}  // namespace

Container ContainerOf(std::string_view leadingBytes) {
    if (leadingBytes.starts_with(kCompoundSignature)) {
        return Container::kCompoundDocument;
    }
    for (std::string_view signature : kZipSignatures) {
        if (leadingBytes.starts_with(signature)) {
            return Container::kZip;
        }
    }
    return Container::kOther;
}

std::unique_ptr<Workbook> Workbook::Open(std::string bytes) {
    switch (ContainerOf(bytes)) {
        case Container::kCompoundDocument:
            throw UnreadableBook(Reason::kLegacyOrProtected);
        case Container::kOther:
            throw UnreadableBook(Reason::kNotWorkbook);
        case Container::kZip:
            break;
    }
    auto archive = std::make_unique<ZipArchive>(std::move(bytes));
    if (IsOds(*archive)) {
        return OpenOds(std::move(archive));
    }
    if (archive->Has("[Content_Types].xml")) {
        return OpenXlsx(std::move(archive));
    }
    throw UnreadableBook(Reason::kZipOfOtherDocument);
}

std::unique_ptr<SheetRows> Workbook::OpenSheet(std::string_view name, uint32_t columnLimit) const {
    std::optional<size_t> found = sheetNames_.Find(name);
    if (!found) {
        throw MissingSheet(name, sheetNames_);
    }
    return OpenSheet(*found, columnLimit);
}

}  // namespace conversion::workbook
