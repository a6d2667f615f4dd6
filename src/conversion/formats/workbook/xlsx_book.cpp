// Office Open XML workbooks (.xlsx): the package's relationships lead from the workbook part
// to its sheets and its shared strings; each sheet lists its rows and cells.
#include <algorithm>
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

// Reads the relationships of a part, where it has a relationships file, and hands each one
// inside the package to Found with its target resolved.
class RelationshipsHandler : public XmlHandler {
  public:
    void ReadOf(const ZipArchive& archive, std::string_view part) {
        folder_ = FolderOf(part);
        std::string file = RelationshipsOf(part);
        if (archive.Has(file)) {
            XmlStream(archive, file, *this).ParseToEnd();
        }
    }

  protected:
    virtual void Found(std::string_view id, std::string_view type, std::string target) = 0;

  private:
    void Start(std::string_view name, const char** attributes) override {
        auto id = Attribute(attributes, "Id");
        auto target = Attribute(attributes, "Target");
        if (name != "Relationship" || !id || !target ||
            Attribute(attributes, "TargetMode").value_or("") == "External") {
            return;
        }
        Found(*id, Attribute(attributes, "Type").value_or(""), ResolveTarget(folder_, *target));
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::string folder_;
};

// The relationships of `part` by id; none where it has no relationships file.
class RelationshipsReader : public RelationshipsHandler {
  public:
    std::map<std::string, Relationship> Read(const ZipArchive& archive, std::string_view part) {
        ReadOf(archive, part);
        return std::move(relationships_);
    }

  private:
    void Found(std::string_view id, std::string_view type, std::string target) override {
        relationships_[std::string(id)] = {std::string(type), std::move(target)};
    }

    std::map<std::string, Relationship> relationships_;
};

// The relationships of the workbook part, kept compactly: a book may have a million sheets.
class WorkbookRelationshipsReader : public RelationshipsHandler {
  public:
    void Read(const ZipArchive& archive, std::string_view part) { ReadOf(archive, part); }
    // The target of relationship `id`; empty where there is none.
    std::string_view TargetOf(std::string_view id) {
        if (order_.size() != ids.size()) {
            order_.resize(ids.size());
            for (size_t k = 0; k < order_.size(); ++k) {
                order_[k] = k;
            }
            // Stable: of two relationships with one id, the last in the part counts.
            std::stable_sort(order_.begin(), order_.end(),
                             [&](size_t a, size_t b) { return ids[a] < ids[b]; });
        }
        auto end =
            std::upper_bound(order_.begin(), order_.end(), id,
                             [&](std::string_view value, size_t k) { return value < ids[k]; });
        return end == order_.begin() || ids[*std::prev(end)] != id ? std::string_view()
                                                                   : targets[*std::prev(end)];
    }

    std::string sharedStringsPart;
    std::string stylesPart;
    NameList ids;
    NameList targets;

  private:
    void Found(std::string_view id, std::string_view type, std::string target) override {
        if (TypeIs(type, "sharedStrings")) {
            sharedStringsPart = std::move(target);
        } else if (TypeIs(type, "styles")) {
            stylesPart = std::move(target);
        } else {
            ids.push_back(id);
            targets.push_back(target);
        }
    }

    std::vector<size_t> order_;
};

// The sheets that workbook.xml lists, by name and relationship id.
class WorkbookPartReader : public XmlHandler {
  public:
    void Read(const ZipArchive& archive, std::string_view part) {
        XmlStream(archive, part, *this).ParseToEnd();
        if (!sawWorkbook_) {
            // Another kind of office document (a word processor's, say).
            throw UnreadableBook(Reason::kZipOfOtherDocument);
        }
    }
    bool epoch1904() const { return epoch1904_; }

    NameList names;
    NameList relationships;

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (depth_++ == 0) {
            sawWorkbook_ = name == "workbook";
        } else if (name == "sheet" && sawWorkbook_) {
            names.push_back(Attribute(attributes, "name").value_or(""));
            relationships.push_back(Attribute(attributes, "id").value_or(""));
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
        WorkbookRelationshipsReader relationships;
        relationships.Read(*archive_, workbookPart);
        sharedStringsPart_ = std::move(relationships.sharedStringsPart);
        stylesPart_ = std::move(relationships.stylesPart);
        WorkbookPartReader workbook;
        workbook.Read(*archive_, workbookPart);
        for (size_t sheet = 0; sheet < workbook.names.size(); ++sheet) {
            sheetParts_.push_back(relationships.TargetOf(workbook.relationships[sheet]));
        }
        sheetNames_ = std::move(workbook.names);
        epoch1904_ = workbook.epoch1904();
    }

    Format format() const override { return Format::kXlsx; }

    std::unique_ptr<SheetRows> OpenSheet(size_t index, uint32_t columnLimit) const override {
        const std::string part(sheetParts_.at(index));
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
    NameList sheetParts_;
    mutable std::shared_ptr<const SharedStrings> sharedStrings_;
    mutable std::shared_ptr<const XlsxDateStyles> dateStyles_;
};

}  // namespace

std::unique_ptr<Workbook> OpenXlsx(std::unique_ptr<ZipArchive> archive) {
    return std::make_unique<XlsxBook>(std::move(archive));
}

}  // namespace conversion::workbook
