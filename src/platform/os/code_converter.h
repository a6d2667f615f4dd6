#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// One conversion between two encodings, opened once and reused; not shareable between
// threads. Each system supplies its own (posix/code_converter.cpp uses iconv).
class CodeConverter {
  public:
    // UTF-32 in the machine's own byte order; UTF-16 in the byte order named.
    enum class Code { kUtf32, kCp932, kUtf8, kUtf16Le, kUtf16Be };

    // Throws RunError 7 or 67 where the conversion cannot be set up for lack of memory or of
    // file descriptors.
    CodeConverter(Code to, Code from);
    ~CodeConverter();
    CodeConverter(const CodeConverter&) = delete;
    CodeConverter& operator=(const CodeConverter&) = delete;

    // Appends the converted bytes to `out`; false where the input holds a sequence the
    // conversion cannot read or write (nothing is then guaranteed about `out`). Given
    // `incompleteTail`, a character cut off at the very end is no failure: its bytes are left
    // unconverted and their number is stored there.
    bool Convert(std::string_view input, std::string& out, size_t* incompleteTail = nullptr);

  private:
    void* handle_;  // the system's own conversion handle
};

}  // namespace platform
