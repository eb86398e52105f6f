// The drop-data parser: any text/uri-list parses without harm into absolute paths, and a local path written as
// a file: URL, escaped, comes back as its exact bytes.
#include "filelist/DropData.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>

namespace {

using papyrant::fuzz::require;

std::string percentEncoded(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || c == '/'
            || c == '-' || c == '.' || c == '_' || c == '~') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return url;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);

    const auto paths = papyrant::localPathsFromUriList(raw);
    require(papyrant::carriesLocalFiles(raw) == !paths.empty(), "a drop is accepted when it names a local path");
    require(paths.size() <= static_cast<std::size_t>(std::count(raw.begin(), raw.end(), '\n')) + 1,
        "at most one path a line");
    for (const auto& path : paths) {
        require(!path.empty() && path.front() == '/', "a local path is absolute");
        require(path.find('\0') == std::string::npos, "a local path holds no NUL");
    }

    // The input as the bytes of one path, in each form a file manager writes, with a comment and a remote file.
    std::string path = "/" + raw;
    path.erase(std::remove(path.begin(), path.end(), '\0'), path.end());
    const std::string url = percentEncoded(path);
    std::string list = "# dropped\r\nfile://" + url + "\r\nfile://localhost" + url + "\nfile://elsewhere" + url + "\n";
    std::size_t forms = 2;
    if (!path.starts_with("//")) {
        list += "file:" + url; // the short form, last and without a line end; "file://" would start a host
        ++forms;
    }
    require(papyrant::localPathsFromUriList(list) == std::vector<std::string>(forms, path), "escaped paths come back");
    return 0;
}
