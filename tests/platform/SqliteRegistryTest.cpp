#include "platform/posix/SqliteRegistry.h"

#include "platform/Printers.h"
#include "platform/Registry.h"
#include "platform/posix/SqlitePrinterTable.h"
#include "runtime/RuntimeError.h"
#include "tests/platform/FreshConfigHome.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace papyrant {
namespace {

constexpr auto kUser = RegistryHive::CurrentUser;
constexpr auto kClasses = RegistryHive::ClassesRoot;

TEST(SqliteRegistry, KeysAndValueNamesIgnoreCaseAndWritesCreateParents)
{
    test::FreshConfigHome home;
    {
        auto registry = openUserRegistry();
        EXPECT_TRUE(registry->writeStrings(
            kUser, "Software\\Quillmark PDF Writer", { { "OutputFile", "/tmp/a.pdf" }, { "BypassSaveAs", "1" } }));
        EXPECT_TRUE(
            registry->writeStrings(kUser, "SOFTWARE\\quillmark pdf writer", { { "outputfile", "/tmp/b.pdf" } }));
        EXPECT_TRUE(registry->writeStrings(kUser, "Software\\Empty", { { "", "" } }));
        EXPECT_TRUE(registry->writeStrings(kUser, "Software\\Ärger", { { "Wert", "x" } }));
    }
    // A second program sees what the first committed.
    SqliteRegistry registry(home.databasePath());
    EXPECT_EQ(registry.readString(kUser, "software\\QUILLMARK PDF WRITER", "OUTPUTFILE"), "/tmp/b.pdf");
    EXPECT_EQ(registry.readString(kUser, "Software\\Quillmark PDF Writer", "BypassSaveAs"), "1");
    EXPECT_EQ(registry.readString(kUser, "Software\\Empty", ""), "");
    EXPECT_EQ(registry.readString(kUser, "SOFTWARE\\äRGER", "wert"), "x");
    EXPECT_EQ(registry.readString(kUser, "Software\\Empty", "Other"), std::nullopt);
    EXPECT_EQ(registry.readString(kClasses, "Software\\Quillmark PDF Writer", "OutputFile"), std::nullopt);
    EXPECT_TRUE(registry.keyExists(kUser, "software"));
    EXPECT_TRUE(registry.keyExists(kUser, "Software\\Quillmark PDF Writer"));
    EXPECT_FALSE(registry.keyExists(kUser, "Software\\Quillmark"));
    EXPECT_FALSE(registry.keyExists(kClasses, "Software"));

    // A path with an empty key name is refused, not written somewhere else.
    for (const char* bad : { "\\Software", "Software\\\\X", "Software\\", "\\" }) {
        EXPECT_FALSE(registry.writeStrings(kUser, bad, { { "v", "1" } })) << bad;
        EXPECT_EQ(registry.readString(kUser, bad, "v"), std::nullopt) << bad;
    }
    EXPECT_FALSE(registry.keyExists(kUser, "Software\\X"));
}

TEST(SqliteRegistry, ValuesKeepTheirBytesExactly)
{
    test::FreshConfigHome home;
    SqliteRegistry registry(home.databasePath());
    const std::string bytes("\"C:\\a b\\%WINDIR%\"\n\xff\xfe\0tail", 24);
    ASSERT_TRUE(registry.writeStrings(kClasses, "K", { { "", bytes } }));
    EXPECT_EQ(registry.readString(kClasses, "k", ""), bytes);
}

TEST(SqliteRegistry, TwoProgramsWritingAtOnceLoseNothing)
{
    test::FreshConfigHome home;
    constexpr int kWrites = 150;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // Each program opens its own connection, as two real programs would.
            SqliteRegistry registry(home.databasePath());
            SqlitePrinterTable table(registry.connection());
            bool ok = static_cast<bool>(registry.usable());
            for (int i = 0; ok && i < kWrites; ++i) {
                const std::string name = "v" + std::to_string(child) + "_" + std::to_string(i);
                ok = static_cast<bool>(registry.writeStrings(
                    kUser, "Software\\Shared\\Child" + std::to_string(i % 3), { { name, std::to_string(i) } }));
                if (ok && i % 10 == 0)
                    ok = table.addPrinter("P" + std::to_string(child) + "_" + std::to_string(i)) == PrinterChange::Done;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SqliteRegistry registry(home.databasePath());
    for (int child = 0; child < 2; ++child) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = "v" + std::to_string(child) + "_" + std::to_string(i);
            EXPECT_EQ(
                registry.readString(kUser, "Software\\Shared\\Child" + std::to_string(i % 3), name), std::to_string(i));
        }
    }
    const auto printers = SqlitePrinterTable(registry.connection()).printers();
    ASSERT_TRUE(printers);
    EXPECT_EQ(printers->size(), 2u * (kWrites / 10));
}

TEST(SqliteRegistry, UnusableDatabaseGivesNothingAndRefusesWritesWithAReason)
{
    test::FreshConfigHome home;
    std::filesystem::create_directories(home.dir().path() / "papyrant");
    std::ofstream(home.databasePath()) << "this is not a database, only text that fills the header and more\n";
    {
        auto registry = openUserRegistry();
        EXPECT_EQ(registry->readString(kUser, "Software", "x"), std::nullopt);
        EXPECT_FALSE(registry->writeStrings(kUser, "Software", { { "x", "1" } }));
        auto printers = openPrinterSystem();
        EXPECT_THROW(printers->installedPrinters(), RuntimeError);
        EXPECT_THROW(printers->defaultPrinter(), RuntimeError);
        EXPECT_FALSE(printers->setDefaultPrinter("Any"));
    }
    SqliteRegistry registry(home.databasePath());
    const auto usable = registry.usable();
    EXPECT_FALSE(usable);
    EXPECT_NE(usable.reason().find("not a database"), std::string::npos) << usable.reason();
    EXPECT_NE(usable.reason().find(home.databasePath()), std::string::npos);
    EXPECT_FALSE(SqlitePrinterTable(registry.connection()).addPrinter("P"));
    std::ifstream file(home.databasePath());
    std::string first;
    std::getline(file, first);
    EXPECT_EQ(first, "this is not a database, only text that fills the header and more"); // left as it was

    // A configuration folder that is a file: no database can be made there.
    test::TempDir other;
    std::ofstream(other.path() / "config") << "x";
    SqliteRegistry nowhere((other.path() / "config" / "papyrant" / "registry.sqlite").string());
    const auto nowhereUsable = nowhere.usable();
    EXPECT_FALSE(nowhereUsable);
    const auto refused = nowhere.writeStrings(kUser, "Software", { { "x", "1" } });
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.reason().empty());
    // Once the way is clear the same registry works, without a restart.
    std::filesystem::remove(other.path() / "config");
    EXPECT_TRUE(nowhere.writeStrings(kUser, "Software", { { "x", "1" } }));
    EXPECT_EQ(nowhere.readString(kUser, "Software", "x"), "1");
}

TEST(SqliteRegistry, DefaultValueReadsThroughTheBufferOfTheLocator)
{
    test::FreshConfigHome home;
    auto registry = openUserRegistry();
    const std::string key = "Wordpad.Document.1\\Protocol\\StdFileEditing\\Server";
    EXPECT_EQ(ReadRegistryDefault(*registry, key), ""); // no key
    ASSERT_TRUE(registry->writeStrings(kClasses, key, { { "Other", "x" } }));
    EXPECT_EQ(ReadRegistryDefault(*registry, key), ""); // key without a default value

    const auto readBack = [&](const std::string& stored) {
        EXPECT_TRUE(registry->writeStrings(kClasses, key, { { "", stored } }));
        return ReadRegistryDefault(*registry, key);
    };
    EXPECT_EQ(readBack("\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\""),
        "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\"");
    EXPECT_EQ(readBack(std::string(259, 'a')), std::string(259, 'a'));
    EXPECT_EQ(readBack(std::string(260, 'a')), "");
    EXPECT_EQ(readBack(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(readBack(" spaced "), " spaced ");

    // Writes go to the current user's hive, never to the classes.
    EXPECT_TRUE(WriteRegistryStrings(*registry, "Software\\Quillmark PDF Writer", { { "OutputFile", "a" } }));
    EXPECT_EQ(registry->readString(kUser, "Software\\Quillmark PDF Writer", "OutputFile"), "a");
    EXPECT_EQ(registry->readString(kClasses, "Software\\Quillmark PDF Writer", "OutputFile"), std::nullopt);
}

TEST(SqlitePrinters, FirstPrinterBecomesDefaultAndOnlyInstalledNamesCanBeDefault)
{
    test::FreshConfigHome home;
    auto printers = openPrinterSystem();
    SqlitePrinterTable table(home.databasePath());

    EXPECT_TRUE(printers->installedPrinters().empty());
    EXPECT_THROW(printers->defaultPrinter(), RuntimeError);
    EXPECT_EQ(table.addPrinter("Office Laser"), PrinterChange::Done);
    EXPECT_EQ(table.addPrinter("Quillmark PDF Writer"), PrinterChange::Done);
    EXPECT_EQ(table.addPrinter("Office Laser"), PrinterChange::Unchanged);
    EXPECT_FALSE(table.addPrinter(""));
    EXPECT_FALSE(table.addPrinter("a,b"));
    EXPECT_FALSE(table.addPrinter("line\nbreak"));
    EXPECT_EQ(printers->installedPrinters(), (std::vector<std::string> { "Office Laser", "Quillmark PDF Writer" }));
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");

    EXPECT_FALSE(printers->setDefaultPrinter("quillmark pdf writer")); // names are exact
    EXPECT_FALSE(printers->setDefaultPrinter(""));
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
    EXPECT_TRUE(printers->setDefaultPrinter("Quillmark PDF Writer"));
    EXPECT_EQ(openPrinterSystem()->defaultPrinter(), "Quillmark PDF Writer");

    // Removing the default printer hands the default to the first one left.
    EXPECT_EQ(table.removePrinter("Quillmark PDF Writer"), PrinterChange::Done);
    EXPECT_EQ(table.removePrinter("Quillmark PDF Writer"), PrinterChange::Unchanged);
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
    EXPECT_EQ(table.removePrinter("Office Laser"), PrinterChange::Done);
    EXPECT_THROW(printers->defaultPrinter(), RuntimeError);
}

} // namespace
} // namespace papyrant
