#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The application's one vocabulary of failure: a numbered code and the facts behind it. No
// sentence is made here; the wording module turns a failure into what the user reads.
namespace fare_model {

// The failure codes a conversion can meet. The numbers are those the fare display
// tools have always reported, so users and their manuals can look them up.
namespace error_code {
inline constexpr int kInvalidData = 5;  // bytes that are not text, names that cannot be stored
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;  // a cell whose value is no number, or none at all
inline constexpr int kInternal = 51;
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIo = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;  // a data file that ends inside its layout
inline constexpr int kTooManyFiles = 67;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kDiskNotReady = 71;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kBadFileFormat = 321;  // a file that is not in a form we can read
}  // namespace error_code

// What stands behind a file error where the code alone would mislead the user.
enum class FileCause {
    kUnknown,
    kReplacedMeanwhile,  // another program replaced or made the output meanwhile
    kNameNotStorable,    // the medium cannot store a file of that name
    kInUse,              // another program holds the file open and shares it with no one
    kReservedOnWindows,  // a device's name (CON, NUL …), a trailing dot or space, a : or *
    kNotFlushed,         // renamed into place, but the medium could not be flushed
    kNotKept,            // read back from the medium, the file differs from what was written
};

// Why a failure happened, beyond its code, with the facts each reason carries (`text`,
// `number`, `other`, `names`). kNone: the code says it all.
enum class Reason {
    kNone,
    // Reading a table's fields.
    kPlaceNameTooLong,  // over 65535 bytes in code page 932
    kTooManyFields,     // number: the field past the 152nd
    kOutOfRange,        // text: the number as written (shortened)
    // Writing a data file.
    kNameNotWritable,  // text: the first character code page 932 cannot write, number: its code
    // Reading a data file back.
    kDataFileTooShort,         // no 2-byte count
    kDataFileNegativeCount,    // number: the count
    kDataFileEndsInLength,     // inside a record's name length
    kDataFileEndsInFares,      // inside a record's zone and fares
    kDataFileNamePastEnd,      // number: the name length, other: the bytes left
    kDataFileNameNotCp932,     // name bytes code page 932 cannot read
    kDataFileNameNotStandard,  // name bytes the writer would not give back the same
    kDataFileExtraBytes,       // number: the count, other: the bytes after the last record
    // Writing a table back from records.
    kNoRecords,
    kTooManyRecords,          // number: the records
    kNameStartsWithSpace,     // reading the table would drop the space
    kNameHoldsSeparator,      // "," "，" or a tab
    kNameHoldsQuote,          // a double quote
    kNameHoldsLineEnd,        // CR or LF
    kNameNotCp932,            // a character code page 932 cannot write
    kNameNotRoundTrip,        // code page 932 does not read the bytes back as the name
    kTableTakenForUtf8,       // the whole text reads as UTF-8, and would convert so
    kTableTakenForWorkbook,   // the first name starts as a workbook does
    kNameTooLongForCell,      // a spreadsheet cell cannot hold the name
    kWorkbookNotWritten,      // text: the workbook library's own reason
    kWorkbookNotReadBack,     // the written workbook does not read back as it was meant
    kWorkbookLibraryMissing,  // text: the library's file name, names[0]: the system's reason
    kOutputTooLarge,          // number: the limit in bytes
    // Reading a table text.
    kUtf16WithoutMark,
    kNotUtf16,      // bytes UTF-16 cannot read
    kNotCp932,      // text: the bytes in hexadecimal
    kNotUtf8,       // text: the bytes in hexadecimal
    kTooManyRows,   // past 32767
    kFileChanged,   // the input changed between its two readings
    kNotAWorkbook,  // a sheet was asked of a text table
    // Files.
    kSameFile,          // the output is the input
    kNotRegularFile,    // a folder, pipe or device
    kDataFileTooLarge,  // number: the limit in bytes
    kWorkbookTooLarge,  // number: the limit in bytes
    kNoOutputFolder,    // the folder given for a batch's outputs is not there
    kOutputNotFolder,   // what was given for a batch's outputs is no folder
    // Workbooks.
    kLegacyOrProtected,  // an Excel 97-2003 .xls, or a workbook saved with a password
    kNotWorkbook,
    kZipOfOtherDocument,      // a zip archive, but of some other document or files
    kBookDamaged,             // text: the part, where known
    kZipDirectoryUnreadable,  // the zip archive's directory
    kPartMissing,             // text: the part
    kPartUnopenable,          // text: the part
    kPartUninflatable,        // text: the part
    kXmlMalformed,            // text: the part, number: the line
    kSheetWithoutContent,     // text: the sheet
    kSharedStringMissing,     // text: the cell ("運賃!C12")
    kBookEncrypted,
    kForbiddenMarkup,  // text: the part
    kTooDeep,          // text: the part
    kPartTooLarge,     // text: the part, number: the limit in bytes
    kCellTextTooLong,  // text: the cell ("運賃!C12")
    kMissingSheet,     // text: the sheet asked for, names: the sheets there are
    // A spreadsheet cell that holds no value the table can take (the cell is the error's).
    kFormulaWithoutResult,  // a formula whose result the file does not hold
    kFormulaError,          // text: the error as shown ("#REF!")
    kDateInNumberCell,      // text: the date or time as shown ("2025/04/01")
    kBooleanInNumberCell,   // text: "TRUE" or "FALSE"
};

// Which of a use case's files a file error is about, where the use case has two.
enum class FileRole { kUnsaid, kInput, kOutput };

// A failure inside a command: a numeric code, the reason and its facts and, where one line
// of the input caused it, that line's number (counted from 1) and the field to blame (1 is
// the place name, 2 the zone, 3 the first fare).
class RunError : public std::runtime_error {
  public:
    explicit RunError(int code, std::optional<int> line = std::nullopt)
        : std::runtime_error("error " + std::to_string(code)), code_(code), line_(line) {}
    RunError(int code, Reason reason, std::optional<int> line = std::nullopt)
        : RunError(code, line) {
        reason_ = reason;
    }

    int code() const noexcept { return code_; }
    Reason reason() const noexcept { return reason_; }
    std::optional<int> line() const noexcept { return line_; }
    std::optional<int> field() const noexcept { return field_; }
    // Where the source shows the row or field its own way, for example "運賃!C12"; empty for
    // a text file.
    const std::string& cell() const noexcept { return cell_; }
    FileCause cause() const noexcept { return cause_; }
    FileRole role() const noexcept { return role_; }
    // The file the failure is about, where known (bytes as the file system spells them).
    const std::string& path() const noexcept { return path_; }
    // The reason's facts.
    const std::string& text() const noexcept { return text_; }
    int64_t number() const noexcept { return number_; }
    int64_t other() const noexcept { return other_; }
    const std::vector<std::string>& names() const noexcept { return names_; }

    RunError WithLine(int line) const { return With(&RunError::line_, line); }
    RunError WithField(int field) const { return With(&RunError::field_, field); }
    RunError WithCell(std::string cell) const { return With(&RunError::cell_, std::move(cell)); }
    RunError WithCause(FileCause cause) const { return With(&RunError::cause_, cause); }
    RunError WithReason(Reason reason) const { return With(&RunError::reason_, reason); }
    RunError WithFile(FileRole role, std::string path) const {
        RunError copy = With(&RunError::role_, role);
        copy.path_ = std::move(path);
        return copy;
    }
    RunError WithText(std::string text) const { return With(&RunError::text_, std::move(text)); }
    RunError WithNumber(int64_t number, int64_t other = 0) const {
        RunError copy = With(&RunError::number_, number);
        copy.other_ = other;
        return copy;
    }
    RunError WithNames(std::vector<std::string> names) const {
        return With(&RunError::names_, std::move(names));
    }

    friend bool operator==(const RunError& a, const RunError& b) {
        return a.code_ == b.code_ && a.reason_ == b.reason_ && a.line_ == b.line_ &&
               a.field_ == b.field_ && a.cell_ == b.cell_ && a.cause_ == b.cause_ &&
               a.role_ == b.role_ && a.path_ == b.path_ && a.text_ == b.text_ &&
               a.number_ == b.number_ && a.other_ == b.other_ && a.names_ == b.names_;
    }

  private:
    template <typename Member, typename Value>
    RunError With(Member member, Value&& value) const {
        RunError copy = *this;
        copy.*member = std::forward<Value>(value);
        return copy;
    }

    int code_;
    Reason reason_ = Reason::kNone;
    std::optional<int> line_;
    std::optional<int> field_;
    std::string cell_;
    FileCause cause_ = FileCause::kUnknown;
    FileRole role_ = FileRole::kUnsaid;
    std::string path_;
    std::string text_;
    int64_t number_ = 0;
    int64_t other_ = 0;
    std::vector<std::string> names_;
};

}  // namespace fare_model
