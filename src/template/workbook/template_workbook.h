#pragma once

#include <string>

namespace template_workbook {

// The built-in template's seven rows as an .xlsx workbook, each value in its own cell and
// numbers as numbers; converted, it gives the same data file as the template text.
std::string TemplateWorkbook();

}  // namespace template_workbook
