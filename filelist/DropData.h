#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

// The local paths of a text/uri-list, in order: one URL a line (CRLF or LF), "#" lines are comments. Only file:
// URLs with an empty host or "localhost" count; their percent escapes are decoded to the exact bytes (a name
// that is not UTF-8 stays as it was). Every other line, and a malformed file: URL, is ignored.
std::vector<std::string> localPathsFromUriList(std::string_view uriList);

// True when the data names at least one local file or folder: a drag the list accepts.
bool carriesLocalFiles(std::string_view uriList);

} // namespace papyrant
