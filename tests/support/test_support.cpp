#include "test_support.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace test_support {

namespace fs = std::filesystem;

std::set<std::string> ScratchFolder::Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_)) {
        names.insert(Utf8(entry.path().filename()));
    }
    return names;
}

std::string ScratchFolder::Path(std::string_view name) const {
    return Utf8(root_ / PathFromUtf8(name));
}

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::optional<std::string> ReadBytesIfPresent(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ReadBytes(const fs::path& path) {
    std::optional<std::string> bytes = ReadBytesIfPresent(path);
    if (!bytes)
        throw std::runtime_error("cannot read " + path.string());
    return *bytes;
}

std::string Cp932(std::string_view utf8) {
    return Recode(utf8, "CP932", "UTF-8");
}

void AppendLe16(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::string Hy3(const std::vector<ExpectedRow>& rows) {
    std::string out;
    AppendLe16(out, static_cast<int>(rows.size()));
    for (const auto& row : rows) {
        AppendLe16(out, static_cast<int>(row.nameBytes.size()));
        out += row.nameBytes;
        AppendLe16(out, row.zone);
        for (int k = 0; k < 150; ++k) {
            AppendLe16(out, k < static_cast<int>(row.fares.size()) ? row.fares[k] : 0);
        }
    }
    return out;
}

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char byte : bytes) {
        if (!out.empty())
            out.push_back(' ');
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0xF]);
    }
    return out;
}

std::string Repeat(std::string_view piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

}  // namespace test_support
