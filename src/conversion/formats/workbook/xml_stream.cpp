#include "conversion/formats/workbook/xml_stream.h"

#include <expat.h>

#include <cstring>

#include "conversion/formats/workbook/workbook_errors.h"

namespace conversion::workbook {
namespace {

// Worksheets nest about seven deep, spreadsheet documents about fifteen.
constexpr int kDepthLimit = 100;
constexpr int kBlockSize = 1 << 16;

}  // namespace

std::string_view LocalName(std::string_view name) {
    size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::optional<std::string_view> Attribute(const char** attributes, std::string_view name) {
    bool qualified = name.find(':') != std::string_view::npos;
    for (; attributes[0] != nullptr; attributes += 2) {
        if ((qualified ? std::string_view(attributes[0]) : LocalName(attributes[0])) == name) {
            return std::string_view(attributes[1]);
        }
    }
    return std::nullopt;
}

XmlStream::XmlStream(const ZipArchive& archive, std::string_view part, XmlHandler& handler)
    : part_(archive, part), handler_(handler), parser_(XML_ParserCreate(nullptr)) {
    if (parser_ == nullptr) {
        throw std::bad_alloc();
    }
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser_, OnText);
    XML_SetStartDoctypeDeclHandler(parser_, OnDoctype);
    XML_SetEntityDeclHandler(parser_, OnEntity);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStream::~XmlStream() {
    XML_ParserFree(parser_);
}

bool XmlStream::ParseBlock() {
    if (done_) {
        return false;
    }
    void* buffer = XML_GetBuffer(parser_, kBlockSize);
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    size_t size = part_.Read(static_cast<char*>(buffer), kBlockSize);
    bool last = size == 0;
    XML_Status status = XML_ParseBuffer(parser_, static_cast<int>(size), last);
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    if (stopped_) {
        done_ = true;
        return false;
    }
    if (status != XML_STATUS_OK) {
        throw UnreadableBook(Reason::kXmlMalformed, part_.name(),
                             static_cast<int64_t>(XML_GetCurrentLineNumber(parser_)));
    }
    done_ = last;
    return !done_;
}

void XmlStream::Stop() {
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
}

template <typename Action>
void XmlStream::Guarded(Action action) {
    if (failure_ || stopped_) {
        return;
    }
    try {
        action();
    } catch (...) {
        Fail(std::current_exception());
    }
}

void XmlStream::Fail(std::exception_ptr failure) {
    failure_ = std::move(failure);
    XML_StopParser(parser_, XML_FALSE);
}

void XmlStream::OnStart(void* self, const char* name, const char** attributes) {
    auto* stream = static_cast<XmlStream*>(self);
    stream->Guarded([&] {
        if (++stream->depth_ > kDepthLimit) {
            throw UnreadableBook(Reason::kTooDeep, stream->part_.name());
        }
        stream->handler_.Start(LocalName(name), attributes);
    });
}

void XmlStream::OnEnd(void* self, const char* name) {
    auto* stream = static_cast<XmlStream*>(self);
    stream->Guarded([&] {
        --stream->depth_;
        stream->handler_.End(LocalName(name));
    });
}

void XmlStream::OnText(void* self, const char* text, int length) {
    auto* stream = static_cast<XmlStream*>(self);
    stream->Guarded(
        [&] { stream->handler_.Text(std::string_view(text, static_cast<size_t>(length))); });
}

void XmlStream::OnDoctype(void* self, const char*, const char*, const char*, int) {
    auto* stream = static_cast<XmlStream*>(self);
    stream->Fail(
        std::make_exception_ptr(UnreadableBook(Reason::kForbiddenMarkup, stream->part_.name())));
}

void XmlStream::OnEntity(void* self, const char*, int, const char*, int, const char*, const char*,
                         const char*, const char*) {
    OnDoctype(self, nullptr, nullptr, nullptr, 0);
}

}  // namespace conversion::workbook
