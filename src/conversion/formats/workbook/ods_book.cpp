// OpenDocument spreadsheets (.ods): every sheet is a <table:table> in content.xml, its rows
// and cells listed in order, with runs of equal rows and cells written once with a count.
#include "conversion/formats/workbook/shown_dates.h"
#include "conversion/formats/workbook/workbook.h"
#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/zip_archive.h"

namespace conversion::workbook {
namespace {

constexpr std::string_view kContent = "content.xml";
constexpr std::string_view kManifest = "META-INF/manifest.xml";

bool IsCell(std::string_view name) {
    return name == "table-cell" || name == "covered-table-cell";
}

uint32_t RepeatCount(const char** attributes, std::string_view name) {
    return std::max<uint32_t>(ParseIndex(Attribute(attributes, name).value_or("1")).value_or(1), 1);
}

// Rows and columns collapsed (hidden) or filtered out.
bool IsHidden(const char** attributes) {
    const std::string_view visibility = Attribute(attributes, "visibility").value_or("visible");
    return visibility == "collapse" || visibility == "filter";
}

// Follows which sheet the parse is in: sheets are the tables of the spreadsheet body, not
// the tables a cell may hold inside it.
class TableTracker {
  public:
    // The sheet a table starts, or none for a table inside a cell.
    std::optional<size_t> Start(std::string_view name) {
        if (name == "table") {
            if (cellDepth_ == 0 && tableDepth_ == 0) {
                ++tableDepth_;
                return sheetCount_++;
            }
            ++tableDepth_;
        } else if (IsCell(name)) {
            ++cellDepth_;
        }
        return std::nullopt;
    }
    // True where a sheet ends.
    bool End(std::string_view name) {
        if (name == "table" && tableDepth_ > 0) {
            return --tableDepth_ == 0;
        }
        if (IsCell(name) && cellDepth_ > 0) {
            --cellDepth_;
        }
        return false;
    }
    // In a sheet, outside any cell's own table.
    bool InSheet() const { return tableDepth_ == 1; }

  private:
    size_t sheetCount_ = 0;
    int tableDepth_ = 0;
    int cellDepth_ = 0;
};

class SheetNamesReader : public XmlHandler {
  public:
    NameList names;

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (tables_.Start(name)) {
            names.push_back(Attribute(attributes, "name").value_or(""));
        }
    }
    void End(std::string_view name) override { tables_.End(name); }
    void Text(std::string_view) override {}

    TableTracker tables_;
};

class OdsSheetRows : public StreamedSheetRows {
  public:
    OdsSheetRows(const ZipArchive& archive, std::string_view sheetName, size_t sheet,
                 uint32_t columnLimit)
        : StreamedSheetRows(archive, kContent, sheetName), sheet_(sheet), row_(columnLimit) {}

  private:
    void Start(std::string_view name, const char** attributes) override {
        bool inCell = inCell_;
        if (std::optional<size_t> sheet = tables_.Start(name)) {
            inSheet_ = *sheet == sheet_;
            return;
        }
        if (!inSheet_ || !tables_.InSheet()) {
            return;
        }
        if (name == "table-row" && !inCell) {
            rowRepeat_ = RepeatCount(attributes, "number-rows-repeated");
            rowHidden_ = IsHidden(attributes);
            row_.Start();
        } else if (name == "table-column" && !inCell) {
            const uint32_t repeat = RepeatCount(attributes, "number-columns-repeated");
            if (IsHidden(attributes)) {
                HideColumns(nextColumn_, ClampedSum(nextColumn_, repeat - 1));
            }
            nextColumn_ = ClampedSum(nextColumn_, repeat);
        } else if (IsCell(name) && !inCell) {
            StartCell(attributes);
        } else if (!inCell) {
        } else if (name == "annotation") {
            ++annotationDepth_;
        } else if (annotationDepth_ > 0) {
        } else if (name == "p" || name == "h") {
            if (paragraphs_++ > 0) {
                AppendCellText(text_, "\n", column(), rowNumber());
            }
            ++paragraphDepth_;
        } else if (paragraphDepth_ == 0) {
        } else if (name == "s") {
            AppendRepeated(text_, ' ',
                           ParseIndex(Attribute(attributes, "c").value_or("1")).value_or(1),
                           column(), rowNumber());
        } else if (name == "tab") {
            AppendCellText(text_, "\t", column(), rowNumber());
        } else if (name == "line-break") {
            AppendCellText(text_, "\n", column(), rowNumber());
        }
    }

    void End(std::string_view name) override {
        bool inSheet = inSheet_ && tables_.InSheet();
        if (tables_.End(name) && inSheet_) {
            // Nothing after the sheet matters to it.
            stream_.Stop();
            return;
        }
        if (!inSheet) {
        } else if (IsCell(name) && inCell_ && tables_.InSheet()) {
            EndCell();
        } else if (!inCell_) {
            if (name == "table-row") {
                queue_.Add(SheetRow{queue_.nextNumber(), rowRepeat_, row_.Take(), rowHidden_});
            }
        } else if (name == "annotation") {
            --annotationDepth_;
        } else if ((name == "p" || name == "h") && annotationDepth_ == 0 && paragraphDepth_ > 0) {
            --paragraphDepth_;
        }
    }

    void Text(std::string_view text) override {
        if (inCell_ && annotationDepth_ == 0 && paragraphDepth_ > 0) {
            AppendCellText(text_, text, column(), rowNumber());
        }
    }

    void StartCell(const char** attributes) {
        inCell_ = true;
        cellRepeat_ = RepeatCount(attributes, "number-columns-repeated");
        text_.clear();
        paragraphs_ = paragraphDepth_ = annotationDepth_ = 0;
        cell_ = Cell{};
        cell_.column = row_.nextColumn();
        std::string_view type = Attribute(attributes, "office:value-type").value_or("");
        if (Attribute(attributes, "calcext:value-type").value_or("") == "error") {
            cell_.kind = Cell::Kind::kError;
        } else if (type == "float" || type == "percentage" || type == "currency") {
            std::string_view value = Attribute(attributes, "value").value_or("");
            if (std::optional<double> number = ParseNumber(value)) {
                cell_.kind = Cell::Kind::kNumber;
                cell_.number = *number;
                cell_.text = value;
            }
        } else if (type == "boolean") {
            cell_.kind = Cell::Kind::kBoolean;
            cell_.text =
                Attribute(attributes, "boolean-value").value_or("") == "true" ? "TRUE" : "FALSE";
        } else if (type == "date") {
            cell_.kind = Cell::Kind::kDate;
            cell_.text = ShownIsoDate(Attribute(attributes, "date-value").value_or(""));
        } else if (type == "time") {
            cell_.kind = Cell::Kind::kDate;
            cell_.text = ShownIsoDuration(Attribute(attributes, "time-value").value_or(""));
        } else if (type.empty() && Attribute(attributes, "formula")) {
            // A script's formula: a spreadsheet program stores every result with its type.
            cell_.kind = Cell::Kind::kNoResult;
        }
        stringValue_.reset();
        if (auto value = Attribute(attributes, "string-value"); value && type == "string") {
            stringValue_ = std::string(*value);
        }
    }

    void EndCell() {
        inCell_ = false;
        // A text cell is its paragraphs (a date or a time as it is shown), unless it says
        // its text apart from them.
        if (cell_.kind == Cell::Kind::kText) {
            cell_.text = stringValue_.value_or(text_);
        } else if (cell_.kind == Cell::Kind::kError) {
            cell_.text = text_;
        }
        if (cell_.text.empty() &&
            (cell_.kind == Cell::Kind::kText || cell_.kind == Cell::Kind::kNumber)) {
            row_.Skip(cellRepeat_);
        } else {
            row_.Add(cell_, cellRepeat_);
        }
    }

    uint32_t column() const { return cell_.column; }
    uint32_t rowNumber() const { return queue_.nextNumber(); }

    size_t sheet_;
    TableTracker tables_;
    RowBuilder row_;
    bool inSheet_ = false;
    bool inCell_ = false;
    uint32_t rowRepeat_ = 1;
    bool rowHidden_ = false;
    uint32_t nextColumn_ = 1;  // of the sheet's column descriptions
    uint32_t cellRepeat_ = 1;
    Cell cell_;
    std::string text_;
    std::optional<std::string> stringValue_;
    int paragraphs_ = 0;
    int paragraphDepth_ = 0;
    int annotationDepth_ = 0;
};

class OdsBook : public Workbook {
  public:
    explicit OdsBook(std::unique_ptr<ZipArchive> archive) : archive_(std::move(archive)) {
        if (archive_->Has(kManifest) &&
            archive_->Read(kManifest).find("encryption-data") != std::string::npos) {
            throw UnreadableBook(Reason::kBookEncrypted);
        }
        SheetNamesReader reader;
        XmlStream(*archive_, kContent, reader).ParseToEnd();
        sheetNames_ = std::move(reader.names);
    }

    Format format() const override { return Format::kOds; }

    std::unique_ptr<SheetRows> OpenSheet(size_t index, uint32_t columnLimit) const override {
        return std::make_unique<OdsSheetRows>(*archive_, sheetNames_.at(index), index, columnLimit);
    }

  private:
    std::unique_ptr<ZipArchive> archive_;
};

}  // namespace

std::unique_ptr<Workbook> OpenOds(std::unique_ptr<ZipArchive> archive) {
    return std::make_unique<OdsBook>(std::move(archive));
}

}  // namespace conversion::workbook
