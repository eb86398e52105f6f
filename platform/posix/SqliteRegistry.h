#pragma once

#include "platform/Registry.h"
#include "platform/posix/SqliteConnection.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

// The registry stand-in: the hives HKEY_CURRENT_USER and HKEY_CLASSES_ROOT in the user's database. A write that
// fails says why, naming the database.
class SqliteRegistry : public Registry
{
public:
    explicit SqliteRegistry(std::string databasePath);
    // Shares the connection with the printer table (SqlitePrinterTable) of the same database.
    explicit SqliteRegistry(std::shared_ptr<SqliteConnection> connection);

    Expected<void> writeStrings(
        RegistryHive hive, const std::string& keyPath, const std::vector<RegistryString>& values) override;
    std::optional<std::string> readString(
        RegistryHive hive, const std::string& keyPath, const std::string& valueName) override;
    bool keyExists(RegistryHive hive, const std::string& keyPath);

    // Whether the database can be used; tries again when it could not be opened before.
    Expected<void> usable()
    {
        return m_db->usable();
    }
    const std::shared_ptr<SqliteConnection>& connection() const
    {
        return m_db;
    }

private:
    std::shared_ptr<SqliteConnection> m_db;
};

} // namespace papyrant
