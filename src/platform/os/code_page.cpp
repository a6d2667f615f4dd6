#include "platform/os/code_page.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/os/run_error.h"

namespace platform {
namespace {

using Code = CodeConverter::Code;
constexpr Code kUtf32 = Code::kUtf32;
constexpr Code kCp932 = Code::kCp932;
constexpr Code kUtf8 = Code::kUtf8;

bool IsAscii(unsigned char byte) {
    return byte < 0x80;
}

}  // namespace

size_t AsciiPrefixLength(std::string_view bytes) {
    size_t length = 0;
    constexpr uint64_t kHighBits = 0x8080808080808080;
    while (length + sizeof(uint64_t) <= bytes.size()) {
        uint64_t block;
        std::memcpy(&block, bytes.data() + length, sizeof block);
        if ((block & kHighBits) != 0) {
            break;
        }
        length += sizeof block;
    }
    while (length < bytes.size() && IsAscii(static_cast<unsigned char>(bytes[length]))) {
        ++length;
    }
    return length;
}

namespace {

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::u32string_view AsCharacters(const std::string& utf32) {
    return {reinterpret_cast<const char32_t*>(utf32.data()), utf32.size() / sizeof(char32_t)};
}

std::string_view AsBytes(std::u32string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char32_t)};
}

}  // namespace

TextDecoder::TextDecoder(TextEncoding encoding)
    : encoding_(encoding), converter_(kUtf32, encoding == TextEncoding::kUtf8 ? kUtf8 : kCp932) {}

std::optional<std::u32string> TextDecoder::Decode(std::string_view bytes) {
    std::u32string text;
    if (!DecodeInto(bytes, text)) {
        return std::nullopt;
    }
    return text;
}

bool TextDecoder::DecodeInto(std::string_view bytes, std::u32string& text) {
    carried_.clear();
    return DecodeText(bytes, true, text);
}

bool TextDecoder::DecodePiece(std::string_view bytes, bool last, std::u32string& text) {
    if (carried_.empty()) {
        return DecodeText(bytes, last, text);
    }
    joined_ = carried_;
    joined_ += bytes;
    carried_.clear();
    return DecodeText(joined_, last, text);
}

bool TextDecoder::DecodeText(std::string_view bytes, bool last, std::u32string& text) {
    // Every byte gives at most one character, so the text never outgrows the bytes.
    text.resize(bytes.size());
    size_t length = 0;
    size_t position = 0;
    while (position < bytes.size()) {
        // ASCII reads as itself in both encodings; only the other runs go through iconv.
        // Eight bytes at a time while they are all ASCII: tables are mostly digits.
        size_t asciiBlock = AsciiPrefixLength(bytes.substr(position)) & ~size_t{7};
        for (size_t i = 0; i < asciiBlock; ++i) {
            text[length + i] = static_cast<unsigned char>(bytes[position + i]);
        }
        length += asciiBlock;
        position += asciiBlock;
        if (position == bytes.size()) {
            break;
        }
        auto byte = static_cast<unsigned char>(bytes[position]);
        if (IsAscii(byte)) {
            text[length++] = byte;
            ++position;
            continue;
        }
        // A run of characters that are not ASCII. In code page 932 the second byte of a
        // double-byte character may look like ASCII, so lead bytes take their partner along;
        // in UTF-8 every byte of such a character is 0x80 or above.
        size_t runEnd = position;
        while (runEnd < bytes.size() && !IsAscii(static_cast<unsigned char>(bytes[runEnd]))) {
            bool takesPartner = encoding_ == TextEncoding::kCp932 &&
                                IsCp932LeadByte(static_cast<unsigned char>(bytes[runEnd]));
            runEnd += takesPartner && runEnd + 1 < bytes.size() ? 2 : 1;
        }
        scratch_.clear();
        size_t cutOff = 0;
        bool mayBeCutOff = !last && runEnd == bytes.size();
        if (!converter_.Convert(bytes.substr(position, runEnd - position), scratch_,
                                mayBeCutOff ? &cutOff : nullptr)) {
            return false;
        }
        if (cutOff > 0) {
            carried_.assign(bytes.substr(bytes.size() - cutOff));
        }
        std::u32string_view run = AsCharacters(scratch_);
        std::copy(run.begin(), run.end(), text.begin() + static_cast<ptrdiff_t>(length));
        length += run.size();
        position = runEnd;
    }
    text.resize(length);
    return true;
}

Cp932Encoder::Cp932Encoder() : converter_(kCp932, kUtf32) {}

std::optional<std::string> Cp932Encoder::Encode(std::u32string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] < 0x80) {
            bytes.push_back(static_cast<char>(text[position]));
            ++position;
            continue;
        }
        size_t runEnd = position;
        while (runEnd < text.size() && text[runEnd] >= 0x80) {
            ++runEnd;
        }
        if (!converter_.Convert(AsBytes(text.substr(position, runEnd - position)), bytes)) {
            return std::nullopt;
        }
        position = runEnd;
    }
    return bytes;
}

bool Cp932Encoder::CanEncode(char32_t ch) {
    if (ch < 0x80) {
        return true;
    }
    scratch_.clear();
    return converter_.Convert(AsBytes(std::u32string_view(&ch, 1)), scratch_);
}

std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    CodeConverter converter(kUtf32, kUtf8);
    std::string utf32;
    if (!converter.Convert(bytes, utf32)) {
        return std::nullopt;
    }
    return std::u32string(AsCharacters(utf32));
}

}  // namespace platform
