#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace conversion::workbook {

// Names kept end to end in one string, in order: a book may list a million sheets, and its
// names then take the bytes they are and four more each, not a string object each.
class NameList {
  public:
    size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](size_t index) const {
        const size_t start = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(text_).substr(start, ends_[index] - start);
    }
    // Fails with std::out_of_range past the end.
    std::string_view at(size_t index) const {
        if (index >= ends_.size()) {
            throw std::out_of_range("NameList::at");
        }
        return (*this)[index];
    }
    void push_back(std::string_view name) {
        if (name.size() > UINT32_MAX - text_.size()) {
            throw std::length_error("NameList");
        }
        text_ += name;
        ends_.push_back(static_cast<uint32_t>(text_.size()));
    }
    // The first name equal to `name`, where there is one.
    std::optional<size_t> Find(std::string_view name) const {
        for (size_t index = 0; index < size(); ++index) {
            if ((*this)[index] == name) {
                return index;
            }
        }
        return std::nullopt;
    }
    std::vector<std::string> ToVector() const {
        std::vector<std::string> names;
        names.reserve(size());
        for (size_t index = 0; index < size(); ++index) {
            names.emplace_back((*this)[index]);
        }
        return names;
    }

  private:
    std::string text_;
    std::vector<uint32_t> ends_;  // a part holds at most kPartLimit bytes
};

}  // namespace conversion::workbook
