#include <optional>

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/xlsx_text.h"

namespace conversion::workbook {
namespace {

std::optional<char32_t> HexValue(std::string_view digits) {
    char32_t value = 0;
    for (char digit : digits) {
        int nibble = digit >= '0' && digit <= '9'   ? digit - '0'
                     : digit >= 'A' && digit <= 'F' ? digit - 'A' + 10
                     : digit >= 'a' && digit <= 'f' ? digit - 'a' + 10
                                                    : -1;
        if (nibble < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<char32_t>(nibble);
    }
    return value;
}

void AppendUtf8(std::string& text, char32_t ch) {
    if (ch >= 0xD800 && ch <= 0xDFFF) {
        ch = 0xFFFD;
    }
    if (ch < 0x80) {
        text += static_cast<char>(ch);
    } else if (ch < 0x800) {
        text += static_cast<char>(0xC0 | (ch >> 6));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (ch >> 12));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// "_xHHHH_" at the start of `text`: the character it stands for.
std::optional<char32_t> EscapeAt(std::string_view text) {
    if (text.size() < 7 || !text.starts_with("_x") || text[6] != '_') {
        return std::nullopt;
    }
    return HexValue(text.substr(2, 4));
}

bool NeedsEscape(char ch) {
    auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 && ch != '\t' && ch != '\n';
}

// Which characters of a rich string (<si>, <is>) are its text: those of its <t> elements,
// the phonetic guides (<rPh>, the furigana Japanese Excel stores beside a name) left out.
class RichTextFilter {
  public:
    void Start(std::string_view name) {
        if (name == "rPh") {
            ++phoneticDepth_;
        } else if (name == "t" && phoneticDepth_ == 0) {
            inText_ = true;
        }
    }
    void End(std::string_view name) {
        if (name == "rPh") {
            --phoneticDepth_;
        } else if (name == "t") {
            inText_ = false;
        }
    }
    bool InText() const { return inText_; }

  private:
    int phoneticDepth_ = 0;
    bool inText_ = false;
};

class SharedStringsReader : public XmlHandler {
  public:
    SharedStrings strings;

  private:
    void Start(std::string_view name, const char**) override {
        if (name == "si") {
            text_.clear();
        } else {
            richText_.Start(name);
        }
    }
    void End(std::string_view name) override {
        if (name == "si") {
            strings.Add(DecodeEscapedCharacters(text_));
        } else {
            richText_.End(name);
        }
    }
    void Text(std::string_view text) override {
        if (richText_.InText()) {
            text_ += text;
        }
    }

    std::string text_;
    RichTextFilter richText_;
};

// Column letters of a reference such as "AB12" (the row's digits are the row's business).
std::optional<uint32_t> ColumnOf(std::string_view reference) {
    uint64_t column = 0;
    size_t letters = 0;
    for (; letters < reference.size(); ++letters) {
        char ch = reference[letters];
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
        if (ch < 'A' || ch > 'Z') {
            break;
        }
        column = std::min<uint64_t>(column * 26 + static_cast<uint64_t>(ch - 'A' + 1), kIndexLimit);
    }
    if (letters == 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(column);
}

// A worksheet part: <row r="12"><c r="C12" t="s"><v>4</v></c>…</row>.
class XlsxSheetRows : public StreamedSheetRows {
  public:
    XlsxSheetRows(const ZipArchive& archive, std::string_view part, std::string sheetName,
                  std::shared_ptr<const SharedStrings> sharedStrings, uint32_t columnLimit)
        : StreamedSheetRows(archive, part, std::move(sheetName)),
          sharedStrings_(std::move(sharedStrings)),
          row_(columnLimit) {}

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "sheetData") {
            inSheetData_ = true;
        } else if (!inSheetData_) {
        } else if (name == "row") {
            auto number = ParseIndex(Attribute(attributes, "r").value_or(""));
            rowNumber_ = number.value_or(queue_.nextNumber());
            row_.Start();
        } else if (name == "c") {
            // The commonest element of all: its attributes are looked through once.
            std::optional<std::string_view> reference, type;
            for (const char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
                const std::string_view attributeName = LocalName(attribute[0]);
                if (attributeName == "r" && !reference) {
                    reference = attribute[1];
                } else if (attributeName == "t" && !type) {
                    type = attribute[1];
                }
            }
            std::optional<uint32_t> column = ColumnOf(reference.value_or(""));
            type_ = type.value_or("n");
            column_ = column.value_or(row_.nextColumn());
            value_.clear();
            inlineText_.clear();
            hasValue_ = false;
        } else if (name == "v") {
            inValue_ = hasValue_ = true;
        } else if (name == "is") {
            inInline_ = true;
        } else if (inInline_) {
            richText_.Start(name);
        }
    }

    void End(std::string_view name) override {
        if (!inSheetData_) {
        } else if (name == "sheetData") {
            // Nothing after the cells matters to the table.
            stream_.Stop();
        } else if (name == "row") {
            queue_.Add(SheetRow{rowNumber_, 1, row_.Take()});
        } else if (name == "c") {
            if (std::optional<Cell> cell = MakeCell()) {
                row_.Add(std::move(*cell));
            } else {
                // A cell without a reference follows the one before it.
                row_.MoveTo(ClampedSum(column_, 1));
            }
        } else if (name == "v") {
            inValue_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (inInline_) {
            richText_.End(name);
        }
    }

    void Text(std::string_view text) override {
        if (inValue_) {
            AppendCellText(value_, text, column_, rowNumber_);
        } else if (inInline_ && richText_.InText()) {
            AppendCellText(inlineText_, text, column_, rowNumber_);
        }
    }

    std::optional<Cell> MakeCell() const {
        Cell cell;
        cell.column = column_;
        if (type_ == "s") {
            auto index = ParseIndex(value_);
            if (!hasValue_) {
                return std::nullopt;
            }
            if (!index || !sharedStrings_ || *index >= sharedStrings_->size()) {
                throw UnreadableBook(Reason::kSharedStringMissing,
                                     sheetName_ + "!" + CellReference(column_, rowNumber_));
            }
            cell.text = sharedStrings_->at(*index);
        } else if (type_ == "inlineStr") {
            cell.text = DecodeEscapedCharacters(inlineText_);
        } else if (type_ == "str") {
            cell.text = DecodeEscapedCharacters(value_);
        } else if (type_ == "b") {
            cell.kind = Cell::Kind::kBoolean;
            cell.text = value_ == "1" || value_ == "true" ? "TRUE" : "FALSE";
            return hasValue_ ? std::optional(cell) : std::nullopt;
        } else if (type_ == "e") {
            cell.kind = Cell::Kind::kError;
            cell.text = value_;
            return hasValue_ ? std::optional(cell) : std::nullopt;
        } else if (type_ == "d") {
            cell.text = value_;
        } else if (std::optional<double> number = ParseNumber(value_)) {
            cell.kind = Cell::Kind::kNumber;
            cell.number = *number;
            cell.text = value_;
        } else {
            // Not a number after all: its text is read as a text cell's is.
            cell.text = value_;
        }
        return cell.text.empty() ? std::nullopt : std::optional(cell);
    }

    std::shared_ptr<const SharedStrings> sharedStrings_;
    RowBuilder row_;
    bool inSheetData_ = false;
    uint32_t rowNumber_ = 1;
    uint32_t column_ = 1;
    std::string type_;
    std::string value_;
    std::string inlineText_;
    bool hasValue_ = false;
    bool inValue_ = false;
    bool inInline_ = false;
    RichTextFilter richText_;
};

}  // namespace

std::string DecodeEscapedCharacters(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        if (std::optional<char32_t> ch = EscapeAt(text.substr(at))) {
            AppendUtf8(decoded, *ch);
            at += 7;
        } else {
            decoded += text[at++];
        }
    }
    return decoded;
}

std::string EncodeEscapedCharacters(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (size_t at = 0; at < text.size(); ++at) {
        char ch = text[at];
        if (NeedsEscape(ch) || (ch == '_' && EscapeAt(text.substr(at)))) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            auto byte = static_cast<unsigned char>(ch);
            encoded += "_x00";
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
            encoded += '_';
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

SharedStrings ReadSharedStrings(const ZipArchive& archive, std::string_view part) {
    SharedStringsReader reader;
    XmlStream(archive, part, reader).ParseToEnd();
    return std::move(reader.strings);
}

std::unique_ptr<SheetRows> OpenXlsxSheet(const ZipArchive& archive, std::string_view part,
                                         std::string sheetName,
                                         std::shared_ptr<const SharedStrings> sharedStrings,
                                         uint32_t columnLimit) {
    return std::make_unique<XlsxSheetRows>(archive, part, std::move(sheetName),
                                           std::move(sharedStrings), columnLimit);
}

}  // namespace conversion::workbook
