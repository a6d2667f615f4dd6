// Office Open XML workbooks (.xlsx): the package's relationships lead from the workbook part
// to its sheets and its shared strings; each sheet lists its rows and cells.
#include <map>

#include "conversion/formats/workbook/workbook.h"
#include "conversion/formats/workbook/workbook_errors.h"
#include "conversion/formats/workbook/xlsx_styles.h"
#include "conversion/formats/workbook/xlsx_text.h"
#include "conversion/formats/workbook/zip_archive.h"

namespace conversion::workbook {
namespace {

struct Relationship {
    std::string type;
    std::string target;  // the part's name in the archive
};

// The folder of a part ("xl/" for "xl/workbook.xml") and the relationships file beside it.
std::string FolderOf(std::string_view part) {
    size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}
std::string RelationshipsOf(std::string_view part) {
    size_t slash = part.rfind('/');
    std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return FolderOf(part) + "_rels/" + std::string(file) + ".rels";
}

// A target relative to `folder`, or from the package's root where it starts with "/".
std::string ResolveTarget(const std::string& folder, std::string_view target) {
    std::string path =
        target.starts_with('/') ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = std::min(path.find('/', start), path.size());
        std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments) {
        resolved += (resolved.empty() ? "" : "/") + segment;
    }
    return resolved;
}

bool TypeIs(std::string_view type, std::string_view kind) {
    return type.ends_with("/" + std::string(kind));
}

// The relationships of `part` by id; none where it has no relationships file.
class RelationshipsReader : public XmlHandler {
  public:
    std::map<std::string, Relationship> Read(const ZipArchive& archive, std::string_view part) {
        folder_ = FolderOf(part);
        std::string file = RelationshipsOf(part);
        if (archive.Has(file)) {
            XmlStream(archive, file, *this).ParseToEnd();
        }
        return std::move(relationships_);
    }

  private:
    void Start(std::string_view name, const char** attributes) override {
        auto id = Attribute(attributes, "Id");
        auto target = Attribute(attributes, "Target");
        if (name != "Relationship" || !id || !target ||
            Attribute(attributes, "TargetMode").value_or("") == "External") {
            return;
        }
        relationships_[std::string(*id)] = {std::string(Attribute(attributes, "Type").value_or("")),
                                            ResolveTarget(folder_, *target)};
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::string folder_;
    std::map<std::string, Relationship> relationships_;
};

// The sheets that workbook.xml lists, by name and relationship id.
class WorkbookPartReader : public XmlHandler {
  public:
    struct Sheet {
        std::string name;
        std::string relationship;
    };
    std::vector<Sheet> Read(const ZipArchive& archive, std::string_view part) {
        XmlStream(archive, part, *this).ParseToEnd();
        if (!sawWorkbook_) {
            // Another kind of office document (a word processor's, say).
            throw UnreadableBook(Reason::kZipOfOtherDocument);
        }
        return std::move(sheets_);
    }
    bool epoch1904() const { return epoch1904_; }

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (depth_++ == 0) {
            sawWorkbook_ = name == "workbook";
        } else if (name == "sheet" && sawWorkbook_) {
            sheets_.push_back({std::string(Attribute(attributes, "name").value_or("")),
                               std::string(Attribute(attributes, "id").value_or(""))});
        } else if (name == "workbookPr" && sawWorkbook_) {
            const std::string_view epoch = Attribute(attributes, "date1904").value_or("");
            epoch1904_ = epoch == "1" || epoch == "true";
        }
    }
    void End(std::string_view) override { --depth_; }
    void Text(std::string_view) override {}

    int depth_ = 0;
    bool sawWorkbook_ = false;
    bool epoch1904_ = false;
    std::vector<Sheet> sheets_;
};

class XlsxBook : public Workbook {
  public:
    explicit XlsxBook(std::unique_ptr<ZipArchive> archive) : archive_(std::move(archive)) {
        std::string workbookPart = "xl/workbook.xml";
        for (const auto& [id, relationship] : RelationshipsReader().Read(*archive_, "")) {
            if (TypeIs(relationship.type, "officeDocument")) {
                workbookPart = relationship.target;
            }
        }
        if (!archive_->Has(workbookPart)) {
            throw UnreadableBook(Reason::kZipOfOtherDocument);
        }
        auto relationships = RelationshipsReader().Read(*archive_, workbookPart);
        for (const auto& [id, relationship] : relationships) {
            if (TypeIs(relationship.type, "sharedStrings")) {
                sharedStringsPart_ = relationship.target;
            } else if (TypeIs(relationship.type, "styles")) {
                stylesPart_ = relationship.target;
            }
        }
        WorkbookPartReader workbook;
        for (const auto& sheet : workbook.Read(*archive_, workbookPart)) {
            auto found = relationships.find(sheet.relationship);
            sheetNames_.push_back(sheet.name);
            sheetParts_.push_back(found == relationships.end() ? std::string()
                                                               : found->second.target);
        }
        epoch1904_ = workbook.epoch1904();
    }

    Format format() const override { return Format::kXlsx; }

    std::unique_ptr<SheetRows> OpenSheet(size_t index, uint32_t columnLimit) const override {
        const std::string& part = sheetParts_.at(index);
        if (part.empty() || !archive_->Has(part)) {
            throw UnreadableBook(Reason::kSheetWithoutContent, sheetNames_[index]);
        }
        if (!sharedStrings_ && !sharedStringsPart_.empty() && archive_->Has(sharedStringsPart_)) {
            sharedStrings_ =
                std::make_shared<SharedStrings>(ReadSharedStrings(*archive_, sharedStringsPart_));
        }
        if (!dateStyles_) {
            auto styles = std::make_shared<XlsxDateStyles>();
            styles->epoch1904 = epoch1904_;
            if (!stylesPart_.empty() && archive_->Has(stylesPart_)) {
                styles->shapeOfStyle = ReadStyleShapes(*archive_, stylesPart_);
            }
            dateStyles_ = std::move(styles);
        }
        return OpenXlsxSheet(*archive_, part, sheetNames_[index], {sharedStrings_, dateStyles_},
                             columnLimit);
    }

  private:
    std::unique_ptr<ZipArchive> archive_;
    std::string sharedStringsPart_;
    std::string stylesPart_;
    bool epoch1904_ = false;
    std::vector<std::string> sheetParts_;
    mutable std::shared_ptr<const SharedStrings> sharedStrings_;
    mutable std::shared_ptr<const XlsxDateStyles> dateStyles_;
};

}  // namespace

std::unique_ptr<Workbook> OpenXlsx(std::unique_ptr<ZipArchive> archive) {
    return std::make_unique<XlsxBook>(std::move(archive));
}

}  // namespace conversion::workbook
