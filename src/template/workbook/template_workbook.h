#pragma once

#include <string>
#include <string_view>

namespace template_workbook {

// The built-in template's seven rows as an .xlsx workbook, each value in its own cell and
// numbers as numbers; converted, it gives the same data file as the template text. The
// writing library's scratch files go in `scratchFolder` (see FareTableWorkbook).
std::string TemplateWorkbook(const std::string& scratchFolder = "");

// The template in the form a file's name asks for: the workbook where it ends in ".xlsx"
// (in any case), else the template text's bytes unchanged. A workbook is made with its
// scratch files in the folder `name` is in.
std::string TemplateForFileName(std::string_view name);

}  // namespace template_workbook
