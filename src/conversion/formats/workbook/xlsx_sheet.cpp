#include <optional>

#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/xlsx_styles.h"
#include "conversion/formats/workbook/xlsx_text.h"
#include "conversion/name_wording.h"

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
    XlsxSheetRows(const ZipArchive& archive, std::string_view part, std::string_view sheetName,
                  XlsxBookParts shared, uint32_t columnLimit)
        : StreamedSheetRows(archive, part, sheetName),
          shared_(std::move(shared)),
          row_(columnLimit) {}

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "sheetData") {
            inSheetData_ = true;
        } else if (!inSheetData_) {
            if (name == "col" && IsTrue(Attribute(attributes, "hidden"))) {
                HideColumns(ParseIndex(Attribute(attributes, "min").value_or("")).value_or(1),
                            ParseIndex(Attribute(attributes, "max").value_or("")).value_or(0));
            }
        } else if (name == "row") {
            auto number = ParseIndex(Attribute(attributes, "r").value_or(""));
            rowNumber_ = number.value_or(queue_.nextNumber());
            rowHidden_ = IsTrue(Attribute(attributes, "hidden"));
            row_.Start();
        } else if (name == "c") {
            // The commonest element of all: its attributes are looked through once.
            std::optional<std::string_view> reference, type, style;
            for (const char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
                const std::string_view attributeName = LocalName(attribute[0]);
                if (attributeName == "r" && !reference) {
                    reference = attribute[1];
                } else if (attributeName == "t" && !type) {
                    type = attribute[1];
                } else if (attributeName == "s" && !style) {
                    style = attribute[1];
                }
            }
            std::optional<uint32_t> column = ColumnOf(reference.value_or(""));
            type_ = type.value_or("n");
            style_ = style ? ParseIndex(*style).value_or(0) : 0;
            column_ = column.value_or(row_.nextColumn());
            value_.clear();
            inlineText_.clear();
            hasValue_ = hasFormula_ = false;
        } else if (name == "f") {
            hasFormula_ = true;
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
            queue_.Add(SheetRow{rowNumber_, 1, row_.Take(), rowHidden_});
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
        // A script writes formulas without their results; a spreadsheet program stores each
        // result in <v> (an empty text result as an empty one).
        if (hasFormula_ && value_.empty() && type_ != "inlineStr" &&
            !(type_ == "str" && hasValue_)) {
            cell.kind = Cell::Kind::kNoResult;
            return cell;
        }
        if (type_ == "s") {
            auto index = ParseIndex(value_);
            if (!hasValue_) {
                return std::nullopt;
            }
            const SharedStrings* strings = shared_.sharedStrings.get();
            if (!index || !strings || *index >= strings->size()) {
                throw UnreadableBook(Reason::kSharedStringMissing)
                    .WithText(ShortenedName(sheetName_) + "!" + CellReference(column_, rowNumber_));
            }
            cell.text = strings->at(*index);
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
            cell.kind = Cell::Kind::kDate;
            cell.text = ShownIsoDate(value_);
            return hasValue_ ? std::optional(cell) : std::nullopt;
        } else if (std::optional<double> number = ParseNumber(value_)) {
            const XlsxDateStyles* styles = shared_.dateStyles.get();
            const DateShape shape = styles ? styles->ShapeOf(style_) : DateShape::kNone;
            if (shape != DateShape::kNone) {
                cell.kind = Cell::Kind::kDate;
                cell.text = ShownSerialDate(*number, shape, styles->epoch1904);
                return cell;
            }
            cell.kind = Cell::Kind::kNumber;
            cell.number = *number;
            cell.text = value_;
        } else {
            // Not a number after all: its text is read as a text cell's is.
            cell.text = value_;
        }
        return cell.text.empty() ? std::nullopt : std::optional(cell);
    }

    static bool IsTrue(std::optional<std::string_view> value) {
        return value == "1" || value == "true";
    }

    XlsxBookParts shared_;
    RowBuilder row_;
    bool inSheetData_ = false;
    uint32_t rowNumber_ = 1;
    bool rowHidden_ = false;
    uint32_t column_ = 1;
    uint32_t style_ = 0;
    bool hasFormula_ = false;
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
                                         std::string_view sheetName, XlsxBookParts shared,
                                         uint32_t columnLimit) {
    return std::make_unique<XlsxSheetRows>(archive, part, sheetName, std::move(shared),
                                           columnLimit);
}

}  // namespace conversion::workbook
