// The code page 932 the programs carry must be the build host's iconv, character for
// character, in both directions: every byte sequence a table may hold and every character of
// the Basic Multilingual Plane.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>

#include <optional>
#include <string>

#include "platform/os/code_converter.h"

namespace {

using Code = platform::CodeConverter::Code;

// iconv's answer, or nullopt where it refuses (an invalid or cut-off sequence).
class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(handle_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    std::optional<std::string> operator()(const std::string& input) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[16];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(buffer, out);
    }

  private:
    iconv_t handle_;
};

std::optional<std::string> ByTables(Code to, Code from, const std::string& input) {
    std::string out;
    if (!platform::CodeConverter(to, from).Convert(input, out)) {
        return std::nullopt;
    }
    return out;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        text += "0123456789ABCDEF"[byte >> 4];
        text += "0123456789ABCDEF"[byte & 15];
    }
    return text;
}

TEST(Cp932Table, DecodesEveryByteSequenceAsIconvDoes) {
    Iconv byIconv("UTF-32LE", "CP932");
    int differences = 0;
    auto check = [&](const std::string& bytes) {
        auto expected = byIconv(bytes);
        auto got = ByTables(Code::kUtf32, Code::kCp932, bytes);
        if (expected != got && ++differences <= 10) {
            ADD_FAILURE() << "bytes " << Hex(bytes);
        }
    };
    for (int first = 0; first < 256; ++first) {
        check(std::string(1, static_cast<char>(first)));
        for (int second = 0x40; second < 0x100 && (first >= 0x81); ++second) {
            check({static_cast<char>(first), static_cast<char>(second)});
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(Cp932Table, EncodesEveryCharacterAsIconvDoes) {
    Iconv byIconv("CP932", "UTF-32LE");
    int differences = 0;
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        const std::string utf32(reinterpret_cast<const char*>(&code), sizeof code);
        auto expected = byIconv(utf32);
        auto got = ByTables(Code::kCp932, Code::kUtf32, utf32);
        if (expected != got && ++differences <= 10) {
            ADD_FAILURE() << "U+" << Hex(utf32.substr(1, 1)) << Hex(utf32.substr(0, 1));
        }
    }
    EXPECT_EQ(differences, 0);
}

}  // namespace
#endif
