#include "platform/WordPad.h"

#include "platform/Registry.h"

namespace papyrant {

std::string GetWordPadPath(Registry& registry)
{
    return ReadRegistryDefault(registry, kWordPadServerKey);
}

} // namespace papyrant
