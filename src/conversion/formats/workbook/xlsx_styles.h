#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "conversion/formats/workbook/shown_dates.h"
#include "conversion/formats/workbook/zip_archive.h"

namespace conversion::workbook {

// What an .xlsx's number formats make of its numbers: a cell names its style by index
// (s="3"), the style its number format, and the format may show the number as a date.
struct XlsxDateStyles {
    std::vector<DateShape> shapeOfStyle;  // by the cell style's index
    bool epoch1904 = false;               // the workbook counts days from 1904-01-01

    DateShape ShapeOf(uint32_t style) const {
        return style < shapeOfStyle.size() ? shapeOfStyle[style] : DateShape::kNone;
    }
};

// Reads the cell styles of the styles part `part`.
std::vector<DateShape> ReadStyleShapes(const ZipArchive& archive, std::string_view part);

}  // namespace conversion::workbook
