#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// The failure codes a conversion can meet. The numbers are those the fare display
// tools have always reported, so users and their manuals can look them up.
namespace error_code {
inline constexpr int kInvalidData = 5;  // bytes that are not text, names that cannot be stored
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
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

// The standard Japanese description for a code (UTF-8); an empty string for unknown codes.
std::string DescriptionForCode(int code);

// What stands behind a file error where the code alone would mislead the user.
enum class FileCause {
    kUnknown,
    kReplacedMeanwhile,  // another program replaced or made the output meanwhile
    kNameNotStorable,    // the medium cannot store a file of that name
};

// A failure inside a command: a numeric code, a Japanese description (UTF-8) and, where
// one line of the input caused it, that line's number (counted from 1) and the field to
// blame (1 is the place name, 2 the zone, 3 the first fare). The explanation says in plain
// words what was wrong (which value, which bytes, input or output); the description stays
// the code's standard text, which users and their manuals look up.
class RunError : public std::runtime_error {
  public:
    explicit RunError(int code, std::optional<int> line = std::nullopt);
    RunError(int code, std::string description, std::optional<int> line = std::nullopt);

    int code() const noexcept { return code_; }
    const std::string& description() const noexcept { return description_; }
    std::optional<int> line() const noexcept { return line_; }
    std::optional<int> field() const noexcept { return field_; }
    const std::string& explanation() const noexcept { return explanation_; }
    // Where the source shows the row or field its own way, for example "運賃!C12"; empty for
    // a text file.
    const std::string& cell() const noexcept { return cell_; }
    FileCause cause() const noexcept { return cause_; }

    RunError WithLine(int line) const {
        RunError copy = *this;
        copy.line_ = line;
        return copy;
    }
    RunError WithField(int field) const {
        RunError copy = *this;
        copy.field_ = field;
        return copy;
    }
    RunError WithCell(std::string cell) const {
        RunError copy = *this;
        copy.cell_ = std::move(cell);
        return copy;
    }
    RunError WithExplanation(std::string explanation) const {
        RunError copy = *this;
        copy.explanation_ = std::move(explanation);
        return copy;
    }

    RunError WithCause(FileCause cause) const {
        RunError copy = *this;
        copy.cause_ = cause;
        return copy;
    }

    friend bool operator==(const RunError& a, const RunError& b) {
        return a.code_ == b.code_ && a.description_ == b.description_ && a.line_ == b.line_ &&
               a.field_ == b.field_ && a.explanation_ == b.explanation_ && a.cell_ == b.cell_ &&
               a.cause_ == b.cause_;
    }

  private:
    int code_;
    std::string description_;
    std::optional<int> line_;
    std::optional<int> field_;
    std::string explanation_;
    std::string cell_;
    FileCause cause_ = FileCause::kUnknown;
};

}  // namespace platform
