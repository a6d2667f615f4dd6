#pragma once

#include <exception>
#include <optional>
#include <string_view>

#include "conversion/formats/workbook/zip_archive.h"

struct XML_ParserStruct;

namespace conversion::workbook {

// What a part's XML is told to, element by element. Names come without their namespace
// prefix ("row" for "x:row"); workbooks spell their prefixes in more than one way.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // `attributes` holds name, value pairs and ends with a null name.
    virtual void Start(std::string_view name, const char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view text) = 0;
};

// "row" for "x:row": a name without its namespace prefix.
std::string_view LocalName(std::string_view name);

// The value of the attribute with this name, if there is one: the prefix is ignored unless
// `name` has one (where two attributes differ only in it).
std::optional<std::string_view> Attribute(const char** attributes, std::string_view name);

// Parses one part of a zip archive with expat, block by block, so that a sheet of any size
// is read in bounded memory. A document type declaration (and with it every entity, internal
// or external) is refused, and so is nesting deeper than any workbook nests. Throws
// fare_model::RunError (321, or 6 from the archive); an exception thrown by the handler passes
// through unchanged.
class XmlStream {
  public:
    XmlStream(const ZipArchive& archive, std::string_view part, XmlHandler& handler);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    // Parses the next block; false once the part has been read to its end.
    bool ParseBlock();
    void ParseToEnd() {
        while (ParseBlock()) {
        }
    }
    // Ends the parse early from inside a handler; ParseBlock then returns false.
    void Stop();

  private:
    static void OnStart(void* self, const char* name, const char** attributes);
    static void OnEnd(void* self, const char* name);
    static void OnText(void* self, const char* text, int length);
    static void OnDoctype(void* self, const char*, const char*, const char*, int);
    static void OnEntity(void* self, const char*, int, const char*, int, const char*, const char*,
                         const char*, const char*);
    // Handlers run inside expat, which is C: an exception must not cross it, so it is kept
    // here, the parse stopped, and the exception thrown again once expat has returned.
    template <typename Action>
    void Guarded(Action action);
    void Fail(std::exception_ptr failure);

    ZipArchive::Part part_;
    XmlHandler& handler_;
    XML_ParserStruct* parser_;
    int depth_ = 0;
    bool done_ = false;
    bool stopped_ = false;
    std::exception_ptr failure_;
};

}  // namespace conversion::workbook
