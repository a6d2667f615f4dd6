#include "conversion/formats/workbook/workbook_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>

#include "conversion/formats/workbook/workbook.h"
#include "conversion/formats/workbook/xlsx_text.h"
#include "fare_model/written_table.h"
#include "platform/os/code_page.h"
#include "platform/os/scratch_file.h"
#include "platform/os/shared_library.h"

namespace conversion::workbook {
namespace {

RunError BadName(Reason reason, int record) {
    return RunError(error_code::kInvalidData, reason, record);
}

// 301 rows of 152 cells take well under a megabyte.
constexpr size_t kWorkbookLimit = size_t{64} << 20;

void CheckRecords(std::span<const FareLineRecord> records) {
    fare_model::CheckTableSize(records);
    int number = 0;
    for (const FareLineRecord& record : records) {
        ++number;
        if (std::optional<Reason> why =
                fare_model::WhyNameWouldChangeInAnyTable(record.PlaceName)) {
            throw BadName(*why, number);
        }
    }
}

// libxlsxwriter, and the libraries it pulls in (a whole cryptography library among them), is
// loaded only when a workbook is written: every other run starts without it.
struct XlsxWriter {
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::workbook_close) workbook_close;
    decltype(&::lxw_strerror) lxw_strerror;

    static const XlsxWriter& Loaded() {
        // An exception leaves the static unmade: the next workbook tries again.
        static const XlsxWriter writer = Load();
        return writer;
    }

  private:
    static XlsxWriter Load() {
        std::string why;
        const platform::SharedLibrary* library =
            platform::SharedLibrary::Load(XLSXWRITER_LIBRARY, why);
        auto find = [&]<typename Function>(Function*& function, const char* name) {
            if (library != nullptr && (function = library->Find<Function>(name)) == nullptr) {
                why = name;
                library = nullptr;
            }
        };
        XlsxWriter writer{};
        find(writer.workbook_new_opt, "workbook_new_opt");
        find(writer.workbook_add_worksheet, "workbook_add_worksheet");
        find(writer.worksheet_write_string, "worksheet_write_string");
        find(writer.worksheet_write_number, "worksheet_write_number");
        find(writer.workbook_close, "workbook_close");
        find(writer.lxw_strerror, "lxw_strerror");
        if (library == nullptr) {
            throw RunError(error_code::kFileNotFound, Reason::kWorkbookLibraryMissing)
                .WithText(XLSXWRITER_LIBRARY)
                .WithNames({why});
        }
        return writer;
    }
};

// Closes the book on every way out; libxlsxwriter writes the file on closing.
struct BookCloser {
    const XlsxWriter& lxw;
    lxw_workbook* book;
    ~BookCloser() {
        if (book != nullptr) {
            lxw.workbook_close(book);
        }
    }
};

// Every cell written is checked: the library refuses a cell for want of memory.
void Check(const XlsxWriter& lxw, lxw_error written) {
    if (written == LXW_ERROR_MEMORY_MALLOC_FAILED) {
        throw RunError(error_code::kOutOfMemory);
    }
    if (written != LXW_NO_ERROR) {
        throw RunError(error_code::kDeviceIo, Reason::kWorkbookNotWritten)
            .WithText(lxw.lxw_strerror(written));
    }
}

void WriteRow(const XlsxWriter& lxw, lxw_worksheet* sheet, const FareLineRecord& record,
              int number) {
    auto row = static_cast<lxw_row_t>(number - 1);
    if (!record.PlaceName.empty()) {
        std::string name = EncodeEscapedCharacters(fare_model::EncodeUtf8(record.PlaceName));
        const lxw_error written = lxw.worksheet_write_string(sheet, row, 0, name.c_str(), nullptr);
        if (written == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED) {
            throw BadName(Reason::kNameTooLongForCell, number);
        }
        Check(lxw, written);
    }
    // The zone is written even when it is 0: a row of empty cells would end the table.
    Check(lxw, lxw.worksheet_write_number(sheet, row, 1, record.ZoneNumber, nullptr));
    // Fares after the row's last value read as 0, so trailing zeros are left out.
    for (size_t k = 0; k < FaresInUse(record); ++k) {
        Check(lxw, lxw.worksheet_write_number(sheet, row, static_cast<lxw_col_t>(k + 2),
                                              record.Fares[k], nullptr));
    }
}

// Whether `cells` are the cells WriteRow writes for `record`.
bool HoldsRecord(const std::vector<Cell>& cells, const FareLineRecord& record) {
    std::vector<Cell> expected;
    if (!record.PlaceName.empty()) {
        Cell name;
        name.text = fare_model::EncodeUtf8(record.PlaceName);
        expected.push_back(name);
    }
    auto number = [&expected](uint32_t column, int value) {
        Cell cell;
        cell.column = column;
        cell.kind = Cell::Kind::kNumber;
        cell.number = value;
        expected.push_back(cell);
    };
    number(2, record.ZoneNumber);
    for (size_t k = 0; k < FaresInUse(record); ++k) {
        number(static_cast<uint32_t>(k + 3), record.Fares[k]);
    }
    return std::equal(
        cells.begin(), cells.end(), expected.begin(), expected.end(),
        [](const Cell& a, const Cell& b) {
            return a.column == b.column && a.span == b.span && a.kind == b.kind &&
                   (a.kind == Cell::Kind::kNumber ? a.number == b.number : a.text == b.text);
        });
}

// The library says nothing of its own temporary files that could not be written (a full
// temporary folder, the file-size limit): the finished book is read back with this program's
// own reader, and must hold every record as it was meant before it replaces anything.
void CheckReadsBack(const std::string& bytes, std::span<const FareLineRecord> records) {
    bool same = false;
    try {
        const std::unique_ptr<Workbook> book = Workbook::Open(bytes);
        const std::unique_ptr<SheetRows> rows =
            book->OpenSheet(size_t{0}, static_cast<uint32_t>(fare_model::kFareCount + 3));
        SheetRow row;
        size_t next = 0;
        same = true;
        while (same && rows->Next(row)) {
            same = next < records.size() && row.number == next + 1 && row.repeat == 1 &&
                   HoldsRecord(row.cells, records[next]);
            ++next;
        }
        same = same && next == records.size();
    } catch (const RunError&) {
        same = false;
    }
    if (!same) {
        throw RunError(error_code::kDiskFull, Reason::kWorkbookNotReadBack);
    }
}

}  // namespace

std::string FareTableWorkbook(std::span<const FareLineRecord> records,
                              const std::string& scratchFolder) {
    CheckRecords(records);
    const XlsxWriter& lxw = XlsxWriter::Loaded();
    std::string folder = scratchFolder;
    lxw_workbook_options options{};
    options.tmpdir = folder.empty() ? nullptr : folder.data();
    std::string bytes = platform::BytesWrittenByName(
        [&](const std::string& path) {
            BookCloser closer{lxw, lxw.workbook_new_opt(path.c_str(), &options)};
            lxw_worksheet* sheet = closer.book == nullptr
                                       ? nullptr
                                       : lxw.workbook_add_worksheet(closer.book, kFareSheetName);
            if (sheet == nullptr) {
                throw RunError(error_code::kOutOfMemory);
            }
            int number = 0;
            for (const FareLineRecord& record : records) {
                WriteRow(lxw, sheet, record, ++number);
            }
            errno = 0;
            lxw_error closed = lxw.workbook_close(closer.book);
            const int cause = errno;
            closer.book = nullptr;
            if (closed != LXW_NO_ERROR) {
                // A full disk or the file-size limit is told as what it is.
                bool full = cause == ENOSPC || cause == EFBIG;
#ifdef EDQUOT
                full = full || cause == EDQUOT;
#endif
                throw RunError(full ? error_code::kDiskFull : error_code::kDeviceIo,
                               Reason::kWorkbookNotWritten)
                    .WithText(lxw.lxw_strerror(closed));
            }
        },
        kWorkbookLimit);
    CheckReadsBack(bytes, records);
    return bytes;
}

}  // namespace conversion::workbook
