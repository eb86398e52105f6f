#include "filelist/DropData.h"

#include <optional>

namespace papyrant {

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string_view trimmed(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

// The exact bytes a URL path stands for; nothing for a broken escape or a NUL, which no path can hold.
std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (bytes.find('\0') != std::string::npos)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> localPathOf(std::string_view url)
{
    constexpr std::string_view kScheme = "file:";
    if (url.size() < kScheme.size() || !equalsIgnoringCase(url.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    std::string_view rest = url.substr(kScheme.size());
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const auto slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !equalsIgnoringCase(host, "localhost"))
            return std::nullopt; // a file on another machine
        if (slash == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/'))
        return std::nullopt;
    rest = rest.substr(0, rest.find_first_of("?#")); // query and fragment are no part of the path
    return percentDecoded(rest);
}

} // namespace

std::vector<std::string> localPathsFromUriList(std::string_view uriList)
{
    std::vector<std::string> paths;
    while (!uriList.empty()) {
        const auto end = uriList.find('\n');
        const std::string_view line = trimmed(uriList.substr(0, end));
        uriList.remove_prefix(end == std::string_view::npos ? uriList.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (auto path = localPathOf(line))
            paths.push_back(std::move(*path));
    }
    return paths;
}

bool carriesLocalFiles(std::string_view uriList)
{
    return !localPathsFromUriList(uriList).empty();
}

} // namespace papyrant
