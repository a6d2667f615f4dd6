#pragma once

#include <string_view>

namespace template_text {

// The built-in template fare table: seven lines of code page 932 text, each ending with
// CR LF. Its bytes are handed out unchanged, never decoded.
std::string_view TemplateText();

}  // namespace template_text
