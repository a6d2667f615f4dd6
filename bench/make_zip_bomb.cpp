// Writes a hostile .xlsx for bench/workbook.sh: a well-formed workbook whose one sheet
// unpacks to 1 GiB of cells, packed to about 1 MiB. The sheet is made as it is packed,
// so writing it takes little memory.
//
// Usage: make_zip_bomb OUT.xlsx
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr size_t kSheetSize = size_t{1} << 30;
const std::string kHead = "<worksheet><sheetData>";
const std::string kTail = "</sheetData></worksheet>";
// A row of cells whose values are padded with spaces, which pack best: the sheet then packs
// to about a thousandth of its size.
const std::string kRow = "<row><c><v>1" + std::string(16000, ' ') + "</v></c></row>";

struct Sheet {
    size_t offset = 0;
    size_t size = 0;
};

// Copies the sheet's bytes from `offset` on: the head, whole rows, spaces up to the tail,
// the tail.
size_t CopySheet(const Sheet& sheet, size_t offset, char* out, size_t count) {
    size_t tailStart = sheet.size - kTail.size();
    size_t rowsEnd = kHead.size() + (tailStart - kHead.size()) / kRow.size() * kRow.size();
    size_t copied = 0;
    while (copied < count) {
        size_t at = offset + copied;
        std::string_view piece;
        if (at < kHead.size()) {
            piece = std::string_view(kHead).substr(at);
        } else if (at < rowsEnd) {
            piece = std::string_view(kRow).substr((at - kHead.size()) % kRow.size());
            piece = piece.substr(0, rowsEnd - at);
        } else if (at < tailStart) {
            static const std::string spaces(4096, ' ');
            piece = std::string_view(spaces).substr(0, std::min(spaces.size(), tailStart - at));
        } else {
            piece = std::string_view(kTail).substr(at - tailStart);
        }
        size_t n = std::min(piece.size(), count - copied);
        std::memcpy(out + copied, piece.data(), n);
        copied += n;
    }
    return copied;
}

zip_int64_t ReadSheet(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* sheet = static_cast<Sheet*>(state);
    switch (command) {
        case ZIP_SOURCE_OPEN:
            sheet->offset = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            size_t count = std::min<size_t>(length, sheet->size - sheet->offset);
            CopySheet(*sheet, sheet->offset, static_cast<char*>(data), count);
            sheet->offset += count;
            return static_cast<zip_int64_t>(count);
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = sheet->size;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_FREE, -1);
        default:
            return -1;
    }
}

void AddText(zip_t* archive, const char* name, const char* text) {
    zip_source_t* source = zip_source_buffer(archive, text, std::strlen(text), 0);
    zip_file_add(archive, name, source, ZIP_FL_OVERWRITE);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_zip_bomb OUT.xlsx\n");
        return 2;
    }
    int error = 0;
    zip_t* archive = zip_open(argv[1], ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const char* rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::string rels = std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + rel +
                       "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    std::string bookRels = std::string("<Relationships><Relationship Id=\"rId1\" Type=\"") + rel +
                           "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
    AddText(archive, "[Content_Types].xml", "<Types/>");
    AddText(archive, "_rels/.rels", rels.c_str());
    AddText(archive, "xl/workbook.xml",
            "<workbook xmlns:r=\"r\"><sheets><sheet name=\"運賃\" r:id=\"rId1\"/></sheets>"
            "</workbook>");
    AddText(archive, "xl/_rels/workbook.xml.rels", bookRels.c_str());
    Sheet sheet{0, kSheetSize};
    zip_source_t* source = zip_source_function(archive, ReadSheet, &sheet);
    zip_int64_t index = zip_file_add(archive, "xl/worksheets/sheet1.xml", source, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    if (zip_close(archive) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
