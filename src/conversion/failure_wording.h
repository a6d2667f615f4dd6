#pragma once

#include <string>

#include "conversion/fare_model_names.h"

// The words for a failure: what the user reads of a RunError, made from its code, its reason
// and the facts it carries. Part of the wording module (wording.h).
namespace conversion {

// The description after the code: the code's standard words, which users and their manuals
// look up, or for a few reasons words of their own ("変換元と変換先が同じファイルです。").
std::string DescriptionText(const RunError& error);

// "CODE:DESCRIPTION", as every front end shows a failure first: "6:オーバーフローしました。"
std::string CodeAndDescription(const RunError& error);

// Plain words for what was wrong, what the file is or what to do; empty where the code and
// the place say it all. For a file error, the cause behind it or which file it is about.
std::string ExplanationText(const RunError& error);

// What the user is asked to do after any failure.
std::string CheckTheFileText();

}  // namespace conversion
