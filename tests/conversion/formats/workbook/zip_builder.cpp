#include "zip_builder.h"

#include <zip.h>

#include <stdexcept>

namespace workbook_test {

std::string MakeZip(const std::vector<ZipEntry>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        throw std::runtime_error("zip_open_from_source");
    }
    zip_source_keep(buffer);
    for (const ZipEntry& entry : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
        zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        // Quick to pack: the large entries are hostile ones of spaces.
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
        if (entry.encrypted) {
            zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                    "password");
        }
    }
    if (zip_close(archive) != 0) {
        throw std::runtime_error("zip_close");
    }
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    std::string bytes(static_cast<size_t>(size), '\0');
    zip_source_read(buffer, bytes.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

std::string Xlsx(const std::string& sheetData, const std::string& sharedStrings,
                 const std::string& sheetXml) {
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<ZipEntry> entries = {
        {"[Content_Types].xml", "<Types/>"},
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                                "\"><sheets><sheet name=\"運賃\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             rel +
             "/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" +
             rel + "/styles\" Target=\"styles.xml\"/></Relationships>"},
        // Styles 1 to 4 show dates and times, 5 a number with a unit.
        {"xl/styles.xml",
         "<styleSheet xmlns=\"" + main +
             "\"><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy/mm/dd\"/>"
             "<numFmt numFmtId=\"165\" formatCode=\"#,##0&quot;円&quot;\"/></numFmts>"
             "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs><xf numFmtId=\"0\"/>"
             "<xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"20\"/>"
             "<xf numFmtId=\"22\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>"},
        {"xl/worksheets/sheet1.xml", sheetXml.empty()
                                         ? "<worksheet xmlns=\"" + main + "\"><sheetData>" +
                                               sheetData + "</sheetData></worksheet>"
                                         : sheetXml},
        {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + sharedStrings + "</sst>"}};
    return MakeZip(entries);
}

std::string Ods(const std::string& tables) {
    return MakeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
         {"content.xml",
          "<office:document-content "
          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
          "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\">"
          "<office:body><office:spreadsheet>" +
              tables + "</office:spreadsheet></office:body></office:document-content>"}});
}

}  // namespace workbook_test
