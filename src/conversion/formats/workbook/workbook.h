#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/formats/workbook/name_list.h"
#include "conversion/formats/workbook/sheet_row.h"
#include "conversion/formats/workbook/sheet_rows.h"

// Reading spreadsheet workbooks (.xlsx and .ods) cell by cell.
namespace conversion::workbook {

// What a file's first bytes say it holds: told by content, not by the name's extension.
enum class Container {
    kOther,             // not a workbook container: a text table, say
    kZip,               // a zip archive: an .xlsx, an .ods, or something else zipped
    kCompoundDocument,  // an Excel 97-2003 .xls, or a workbook saved with a password
};
Container ContainerOf(std::string_view leadingBytes);
inline constexpr size_t kContainerSignatureSize = 8;

// An .xlsx or .ods workbook held in memory.
class Workbook {
  public:
    enum class Format { kXlsx, kOds };

    virtual ~Workbook() = default;
    // Reads the book's list of sheets. Throws fare_model::RunError: 321 where `bytes` are not a
    // readable workbook (with an explanation of what they are and what to do), 6 for a part
    // that unpacks too large.
    static std::unique_ptr<Workbook> Open(std::string bytes);

    virtual Format format() const = 0;
    // In the order the spreadsheet program shows their tabs.
    const NameList& sheetNames() const { return sheetNames_; }
    // Each row keeps its cells up to `columnLimit` and the first cell beyond it.
    virtual std::unique_ptr<SheetRows> OpenSheet(size_t index, uint32_t columnLimit) const = 0;
    // Fails with code 9 where the book has no sheet of that name.
    std::unique_ptr<SheetRows> OpenSheet(std::string_view name, uint32_t columnLimit) const;

  protected:
    NameList sheetNames_;
};

std::unique_ptr<Workbook> OpenXlsx(std::unique_ptr<class ZipArchive> archive);
std::unique_ptr<Workbook> OpenOds(std::unique_ptr<class ZipArchive> archive);

}  // namespace conversion::workbook
