#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// One conversion between two encodings, the same on every system: Unicode's own encodings by
// their rules, code page 932 by tables generated from iconv when the program is built.
class CodeConverter {
  public:
    // UTF-32 in the machine's own byte order; UTF-16 in the byte order named.
    enum class Code { kUtf32, kCp932, kUtf8, kUtf16Le, kUtf16Be };

    CodeConverter(Code to, Code from) : to_(to), from_(from) {}

    // Appends the converted bytes to `out`; false where the input holds a sequence the
    // conversion cannot read or write (nothing is then guaranteed about `out`). Given
    // `incompleteTail`, a character cut off at the very end is no failure: its bytes are left
    // unconverted and their number is stored there.
    bool Convert(std::string_view input, std::string& out, size_t* incompleteTail = nullptr);

  private:
    Code to_;
    Code from_;
};

}  // namespace platform
