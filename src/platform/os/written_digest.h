#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// What a file was meant to hold, kept while it is written: its length and a 64-bit FNV-1a
// digest of its bytes, so that the file can be compared with what the medium gives back
// without keeping a copy of it.
class WrittenDigest {
  public:
    void Add(std::string_view bytes) {
        size_ += bytes.size();
        for (char byte : bytes) {
            hash_ = (hash_ ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
        }
    }
    bool operator==(const WrittenDigest&) const = default;

  private:
    uint64_t size_ = 0;
    uint64_t hash_ = 14695981039346656037ull;
};

}  // namespace platform
