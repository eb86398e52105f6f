#include "platform/SettingsStore.h"

#include "platform/Registry.h"
#include "runtime/RuntimeError.h"

#include <cctype>
#include <optional>

namespace papyrant {

SettingsStore::SettingsStore(Registry& registry)
    : m_registry(registry)
{
}

std::string SettingsStore::read(const std::string& key, const std::string& defaultText)
{
    return m_registry.readString(RegistryHive::CurrentUser, kSettingsKey, key).value_or(defaultText);
}

std::string SettingsStore::read(const std::string& key, int defaultNumber)
{
    return read(key, std::to_string(defaultNumber));
}

void SettingsStore::save(const std::string& key, const std::string& value)
{
    // The window writes back what it has just read (restoring the options at start-up runs their click
    // behaviour): a value already stored costs a read instead of a write to the disk.
    if (m_registry.readString(RegistryHive::CurrentUser, kSettingsKey, key) == value)
        return;
    if (!m_registry.writeStrings(RegistryHive::CurrentUser, kSettingsKey, { { key, value } }))
        throw RuntimeError(err::kInvalidProcedureCall);
}

namespace {

bool equalsIgnoringCase(const std::string& text, const char* word)
{
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    }
    return i == text.size();
}

// Whether a plain decimal number (sign, digits with at most one point, an optional exponent) is other than
// zero; nothing when the text is no such number. Decided on the digits, so the locale's decimal sign does not
// matter.
std::optional<bool> decimalIsNonZero(const std::string& text)
{
    bool nonZero = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    const auto mantissaDigits = [&] {
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            ++digits;
            nonZero = nonZero || text[i] != '0';
        }
    };
    mantissaDigits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits();
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == start)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    return nonZero;
}

std::string trimmedSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool readBoolean(const std::string& text)
{
    const std::string word = trimmedSpaces(text);
    if (equalsIgnoringCase(word, "true"))
        return true;
    if (equalsIgnoringCase(word, "false"))
        return false;
    const std::optional<bool> nonZero = decimalIsNonZero(word);
    if (!nonZero)
        throw RuntimeError(err::kTypeMismatch);
    return *nonZero;
}

} // namespace papyrant
