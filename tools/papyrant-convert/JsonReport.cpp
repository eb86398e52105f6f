#include "tools/papyrant-convert/JsonReport.h"

#include "text/Utf8.h"

#include <cstdio>

namespace papyrant {

namespace {

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char ch = utf8CharAt(text, i);
        if (!ch.valid)
            return false;
        i += ch.length;
    }
    return true;
}

void appendHex(std::string& out, const char* format, unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

// Appends "name":"text", and "name_escaped":true when the text had to be escaped.
void appendField(std::string& out, std::string_view name, std::string_view text)
{
    bool escaped = false;
    const std::string literal = jsonString(text, escaped);
    out += '"';
    out += name;
    out += "\":";
    out += literal;
    if (escaped) {
        out += ",\"";
        out += name;
        out += "_escaped\":true";
    }
}

const char* statusName(FileStatus status)
{
    switch (status) {
    case FileStatus::Converted:
        return "converted";
    case FileStatus::Kept:
        return "kept";
    case FileStatus::Failed:
        return "failed";
    case FileStatus::NotDone:
        break;
    }
    return "not done";
}

} // namespace

std::string jsonString(std::string_view text, bool& escaped)
{
    escaped = !isValidUtf8(text);
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char ch = utf8CharAt(text, i);
        if (!ch.valid) {
            // Written as text: the JSON string holds a backslash, an "x" and two hex digits.
            appendHex(out, "\\\\x%02X", static_cast<unsigned char>(text[i]));
        } else if (ch.codePoint == '\\') {
            out += escaped ? "\\\\\\\\" : "\\\\";
        } else if (ch.codePoint == '"') {
            out += "\\\"";
        } else if (ch.codePoint == '\n') {
            out += "\\n";
        } else if (ch.codePoint == '\t') {
            out += "\\t";
        } else if (ch.codePoint < 0x20 || ch.codePoint == 0x7F) {
            appendHex(out, "\\u%04x", static_cast<unsigned>(ch.codePoint));
        } else {
            out.append(text.substr(i, ch.length));
        }
        i += ch.length;
    }
    return out + "\"";
}

std::string jsonRecord(const ConvertJob& job, const FileResult& result, bool merged)
{
    const bool written = result.status == FileStatus::Converted;
    bool escaped = false;
    std::string out = "{";
    appendField(out, "source", job.source);
    out += ',';
    appendField(out, "target", job.target);
    out += ",\"status\":\"";
    out += statusName(result.status);
    out += "\",\"pages\":";
    out += written ? std::to_string(result.pages) : "null";
    if (merged) {
        out += ",\"first_page\":";
        out += written ? std::to_string(result.firstPage) : "null";
    }
    out += ",\"bytes\":";
    out += written ? std::to_string(result.bytes) : "null";
    out += ",\"milliseconds\":";
    char milliseconds[32];
    std::snprintf(milliseconds, sizeof milliseconds, "%.1f", result.milliseconds);
    out += milliseconds;
    out += ",\"encoding\":";
    out += written ? jsonString(result.encoding.name, escaped) : "null";
    out += ",\"encoding_from\":";
    out += written ? std::string("\"") + sourceName(result.encoding.source) + "\"" : "null";
    out += ',';
    if (result.status == FileStatus::Failed)
        appendField(out, "error", result.error);
    else
        out += "\"error\":null";
    return out + "}";
}

namespace {

// A name left out of the batch: its source, a status and one field that says why.
std::string jsonLeftOutRecord(
    std::string_view source, std::string_view status, std::string_view field, std::string_view value)
{
    std::string out = "{";
    appendField(out, "source", source);
    out += ",\"status\":\"";
    out += status;
    out += "\",";
    appendField(out, field, value);
    return out + "}";
}

} // namespace

std::string jsonSkippedRecord(std::string_view source, std::string_view reason)
{
    return jsonLeftOutRecord(source, "skipped", "reason", reason);
}

std::string jsonSameFileRecord(std::string_view source, std::string_view sameAs)
{
    return jsonLeftOutRecord(source, "same-file", "same_as", sameAs);
}

} // namespace papyrant
