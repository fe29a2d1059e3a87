#include "xml/xml_errors.h"

#include <libxml/globals.h>
#include <libxml/xmlerror.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vesk {

void check_readable_file(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw XmlReadError(path + ": is a folder, not a file");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw XmlReadError(path + ": " + std::strerror(errno));
    std::fclose(file);
}

namespace {

extern "C" void drop_message(void*, const char*, ...) {}

}  // namespace

QuietLibxmlMessages::QuietLibxmlMessages()
    : saved_function_(reinterpret_cast<void*>(xmlGenericError)),
      saved_context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &drop_message);
}

QuietLibxmlMessages::~QuietLibxmlMessages() {
    xmlSetGenericErrorFunc(saved_context_, reinterpret_cast<xmlGenericErrorFunc>(saved_function_));
}

std::string xml_error_text(const void* xml_error, const std::string& fallback) {
    const auto* error = static_cast<const xmlError*>(xml_error);
    if (error == nullptr || error->message == nullptr) return fallback;
    std::string message = error->message;
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    // libxml2 names an option here that the user cannot set.
    if (message.starts_with("Excessive depth in document"))
        message = "elements are nested more than 256 deep, deeper than Vesk reads";
    return "line " + std::to_string(error->line) + ": " + message;
}

bool is_xml_blank(std::string_view text) {
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    return true;
}

}  // namespace vesk
