// The path helpers with either separator: nothing throws but the documented overflow past position 32767, and
// the folder and the file name put together give back the path.
#include "conversion/PathHelpers.h"
#include "runtime/RuntimeError.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>

namespace {

using papyrant::fuzz::require;

constexpr std::size_t kLargestPosition = 32767;

bool overflowed(const papyrant::RuntimeError& error)
{
    return error.number() == papyrant::err::kOverflow;
}

std::string withoutSeparators(std::string text, char separator)
{
    text.erase(std::remove(text.begin(), text.end(), separator), text.end());
    return text;
}

void checkPath(const std::string& path, char separator)
{
    const std::string name = papyrant::ExtractFileName(path, separator);
    require(name.find(separator) == std::string::npos, "a file name holds no separator");
    const auto last = path.rfind(separator);
    try {
        const std::string folder = papyrant::ExtractFolder(path, separator);
        require(last == std::string::npos || last < kLargestPosition, "a far separator overflows");
        require(folder + name == path, "folder and file name give back the path");
        require(folder.empty() || folder.back() == separator, "a folder ends with its separator");
    } catch (const papyrant::RuntimeError& error) {
        require(overflowed(error) && last != std::string::npos && last >= kLargestPosition, "only overflow fails");
    }

    try {
        const std::string stem = papyrant::StripExtension(name);
        require(name.starts_with(stem), "the name without extension is its beginning");
        require(stem.size() == name.size() || name[stem.size()] == '.', "only an extension is cut");
    } catch (const papyrant::RuntimeError& error) {
        require(overflowed(error) && name.rfind('.') >= kLargestPosition, "only a far dot overflows");
    }

    const std::string collapsed = papyrant::CollapseBackslashes(path, separator);
    require(collapsed.size() <= path.size() + 1, "collapsing adds at most the network lead");
    require(withoutSeparators(collapsed, separator) == withoutSeparators(path, separator),
        "collapsing touches only separators");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // A first byte of 0xFF puts the rest around the largest position, where overflow begins; libFuzzer's inputs
    // are too short to get there on their own, and such long paths are slow, so only a few inputs ask for it.
    std::string path;
    if (data[0] == 0xFF)
        path.assign(kLargestPosition - 16, 'x');
    path.append(reinterpret_cast<const char*>(data + 1), size - 1);
    checkPath(path, '\\');
    checkPath(path, '/');
    return 0;
}
