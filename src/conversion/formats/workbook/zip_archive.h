#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace conversion::workbook {

// No part of a workbook is read past this many bytes unpacked: a fare table's sheet is a few
// hundred kilobytes, and a zip bomb stops here.
inline constexpr size_t kPartLimit = size_t{64} << 20;

// A zip archive held in memory, read through zlib's minizip. Throws fare_model::RunError: 321
// for an archive that is cut short, damaged or locked, 6 for a part over kPartLimit.
class ZipArchive {
  public:
    // Keeps `bytes`; never reads anything else.
    explicit ZipArchive(std::string bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool Has(std::string_view name) const;
    // The whole part, which must exist.
    std::string Read(std::string_view name) const;

    // One part read in blocks, never more than kPartLimit in all.
    class Part {
      public:
        Part(const ZipArchive& archive, std::string_view name);
        ~Part();
        Part(const Part&) = delete;
        Part& operator=(const Part&) = delete;
        // Fills `buffer` with up to `size` bytes; 0 at the end of the part.
        size_t Read(char* buffer, size_t size);
        const std::string& name() const { return name_; }

      private:
        std::string name_;
        void* file_ = nullptr;  // an unzFile of its own, positioned on the part
        size_t total_ = 0;
        bool ended_ = false;
    };

  private:
    // A reader over the bytes, positioned on the named part; null where there is no such
    // part. Each part read has a reader of its own, so that parts may be read side by side.
    void* OpenAt(std::string_view name) const;

    // Every part's place in the directory, sorted by the hash of its name: a part is found at
    // once however many the archive holds (a book may have thousands of sheets).
    struct Entry {
        uint64_t hash;
        uint64_t directoryOffset;
        uint64_t number;
    };
    // The first part named `name` in the directory's order; null where there is none.
    const Entry* Find(std::string_view name) const;

    std::string bytes_;
    void* archive_ = nullptr;  // the unzFile that walks the directory
    std::vector<Entry> index_;
};

}  // namespace conversion::workbook
