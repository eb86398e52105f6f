#pragma once

namespace papyrant {

// The runtime's attribute bits of a file-system entry, from the system's: read-only, hidden, system,
// directory, archive, reparse point (alias) and compressed; the system's other bits are not the runtime's.
constexpr int runtimeAttributes(unsigned long systemAttributes)
{
    return static_cast<int>(systemAttributes & 0x0C37UL);
}

} // namespace papyrant
