#pragma once

#include "platform/Printers.h"
#include "platform/Registry.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace papyrant::test {

// An in-memory registry with case-insensitive key names; writes can be made to fail.
class FakeRegistry : public Registry
{
public:
    Expected<void> writeStrings(
        RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values) override
    {
        ++writes;
        if (failWrites)
            return Unexpected { "the registry refuses writes" };
        for (const auto& value : values)
            m_values[{ hive, lower(keyPath), value.name }] = value.text;
        return {};
    }
    std::optional<std::string> readString(
        RegistryHive hive, const std::string& keyPath, const std::string& valueName) override
    {
        const auto found = m_values.find({ hive, lower(keyPath), valueName });
        if (found == m_values.end())
            return std::nullopt;
        return found->second;
    }

    bool failWrites = false;
    int writes = 0;

private:
    static std::string lower(std::string text)
    {
        std::transform(
            text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }
    std::map<std::tuple<RegistryHive, std::string, std::string>, std::string> m_values;
};

// Installed printers and a default one, kept in memory.
class FakePrinters : public PrinterSystem
{
public:
    std::vector<std::string> installedPrinters() override
    {
        return printers;
    }
    std::string defaultPrinter() override
    {
        if (defaultName.empty())
            throw RuntimeError(err::kPrinterError);
        return defaultName;
    }
    bool setDefaultPrinter(const std::string& name) override
    {
        setCalls.push_back(name);
        if (name.empty() || std::find(printers.begin(), printers.end(), name) == printers.end())
            return false;
        defaultName = name;
        return true;
    }

    std::vector<std::string> printers;
    std::string defaultName;
    std::vector<std::string> setCalls;
};

} // namespace papyrant::test
