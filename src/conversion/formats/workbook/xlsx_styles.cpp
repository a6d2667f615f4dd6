#include "conversion/formats/workbook/xlsx_styles.h"

#include <map>
#include <string>

#include "conversion/formats/workbook/sheet_rows.h"
#include "conversion/formats/workbook/xml_stream.h"

namespace conversion::workbook {
namespace {

// <numFmts><numFmt numFmtId="164" formatCode="yyyy/mm/dd"/></numFmts> and
// <cellXfs><xf numFmtId="164"/>…</cellXfs>; the formats may be listed after the styles.
class StylesReader : public XmlHandler {
  public:
    std::vector<DateShape> Shapes() const {
        std::vector<DateShape> shapes;
        shapes.reserve(styleFormats_.size());
        for (uint32_t format : styleFormats_) {
            auto custom = customShapes_.find(format);
            shapes.push_back(custom != customShapes_.end() ? custom->second
                                                           : ShapeOfBuiltInFormat(format));
        }
        return shapes;
    }

  private:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "cellXfs") {
            inCellStyles_ = true;
        } else if (name == "xf" && inCellStyles_) {
            styleFormats_.push_back(
                ParseIndex(Attribute(attributes, "numFmtId").value_or("0")).value_or(0));
        } else if (name == "numFmt") {
            auto id = ParseIndex(Attribute(attributes, "numFmtId").value_or(""));
            if (id) {
                customShapes_[*id] =
                    ShapeOfFormatCode(Attribute(attributes, "formatCode").value_or(""));
            }
        }
    }
    void End(std::string_view name) override {
        if (name == "cellXfs") {
            inCellStyles_ = false;
        }
    }
    void Text(std::string_view) override {}

    bool inCellStyles_ = false;
    std::vector<uint32_t> styleFormats_;
    std::map<uint32_t, DateShape> customShapes_;
};

}  // namespace

std::vector<DateShape> ReadStyleShapes(const ZipArchive& archive, std::string_view part) {
    StylesReader reader;
    XmlStream(archive, part, reader).ParseToEnd();
    return reader.Shapes();
}

}  // namespace conversion::workbook
