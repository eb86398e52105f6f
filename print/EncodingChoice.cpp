#include "print/EncodingChoice.h"

namespace papyrant {

const char* sourceName(EncodingChoice::Source source)
{
    switch (source) {
    case EncodingChoice::Source::Mark:
        return "mark";
    case EncodingChoice::Source::Declaration:
        return "declaration";
    case EncodingChoice::Source::Detection:
        return "detection";
    case EncodingChoice::Source::Fallback:
        break;
    }
    return "fallback";
}

} // namespace papyrant
