#include "platform/win32/Win32Registry.h"

#include "platform/Registry.h"
#include "platform/SettingsStore.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace papyrant {
namespace {

// Every test works below its own key of the current user and removes it afterwards.
class Win32RegistryTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kRoot);
    }

    // The stored text as the system keeps it (UTF-16), read through the wide entry point.
    static std::wstring storedText(HKEY root, const std::string& key, const std::string& name)
    {
        HKEY handle = nullptr;
        EXPECT_EQ(::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle), ERROR_SUCCESS);
        const std::wstring wideName(name.begin(), name.end());
        wchar_t buffer[512] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        DWORD type = 0;
        EXPECT_EQ(::RegQueryValueExW(handle, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
        ::RegCloseKey(handle);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        return buffer;
    }

    static constexpr const char* kRoot = "Software\\Papyrant Test";
    Win32Registry m_registry;
};

TEST_F(Win32RegistryTest, WritesCreateTheKeyAndItsParentsAndTheLastWriteWins)
{
    const std::string key = std::string(kRoot) + "\\Quillmark PDF Writer\\Deeper";
    EXPECT_TRUE(WriteRegistryStrings(m_registry, key,
        { { "OutputFile", "C:\\out\\first.pdf" }, { "BypassSaveAs", "1" }, { "OutputFile", "C:\\out\\second.pdf" },
            { "Empty", "" } }));
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "OutputFile"), "C:\\out\\second.pdf");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "BypassSaveAs"), "1");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "Empty"), "");
    // Key names compare without regard to case.
    EXPECT_EQ(m_registry.readString(
                  RegistryHive::CurrentUser, "SOFTWARE\\papyrant test\\QUILLMARK PDF WRITER\\deeper", "OutputFile"),
        "C:\\out\\second.pdf");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "Missing"), std::nullopt);
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key + "\\Missing", "OutputFile"), std::nullopt);
}

TEST_F(Win32RegistryTest, TextsGoThroughTheAnsiCodePage)
{
    // The Windows stage runs in code page 1252 (scripts/test-windows.sh); another one is a broken stage.
    ASSERT_EQ(::GetACP(), 1252u) << "the expectations are those of code page 1252";
    const std::string key = std::string(kRoot) + "\\Ansi";
    ASSERT_TRUE(WriteRegistryStrings(m_registry, key, { { "OutputFile", "C:\\Résumé\\naïve.pdf" } }));
    EXPECT_EQ(storedText(HKEY_CURRENT_USER, key, "OutputFile"), L"C:\\R\u00e9sum\u00e9\\na\u00efve.pdf");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "OutputFile"), "C:\\Résumé\\naïve.pdf");
    // What the code page cannot hold is not written as "?" or a look-alike ("A" for "Ā"): the write fails and
    // the value keeps what it had; the values around it are still written.
    for (const std::string text : { "Ж", "C:\\\u0100pple.pdf" }) {
        const auto written = m_registry.writeStrings(
            RegistryHive::CurrentUser, key, { { "OutputFile", text }, { "BypassSaveAs", "1" } });
        EXPECT_FALSE(written) << text;
        EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "OutputFile"), "C:\\Résumé\\naïve.pdf");
        EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key, "BypassSaveAs"), "1");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), "BypassSaveAs");
    }
    EXPECT_FALSE(m_registry.writeStrings(RegistryHive::CurrentUser, key + "\\Ж", { { "A", "1" } }));
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, key + "\\Ж", "A"), std::nullopt);

    // The default value's buffer holds 259 characters of the code page, however many bytes they take in UTF-8.
    std::string accented;
    for (int i = 0; i < 259; ++i)
        accented += "\xc3\xa9";
    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "", accented } }));
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), accented);
    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "", accented + "\xc3\xa9" } }));
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), "");
}

TEST_F(Win32RegistryTest, TextValuesAreStoredWithTheirNul)
{
    const std::string key = std::string(kRoot) + "\\Sizes";
    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::CurrentUser, key, { { "Empty", "" }, { "One", "1" } }));
    HKEY handle = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &handle), ERROR_SUCCESS);
    // The stored bytes, as a reader of the wide form gets them: an empty text is one NUL, "1" is "1" and a NUL.
    for (const auto& [name, expected] :
        { std::pair { L"Empty", std::wstring(1, L'\0') }, std::pair { L"One", std::wstring(L"1\0", 2) } }) {
        wchar_t buffer[8] = { L'x', L'x', L'x', L'x' };
        DWORD size = sizeof buffer;
        DWORD type = 0;
        ASSERT_EQ(
            ::RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(std::wstring(buffer, size / sizeof(wchar_t)), expected);
    }
    ::RegCloseKey(handle);
}

TEST_F(Win32RegistryTest, DefaultValueFitsA260CharacterBufferOrReadsAsEmpty)
{
    const std::string key = std::string(kRoot) + "\\Wordpad.Document.1\\Protocol\\StdFileEditing\\Server";
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), "");

    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "Other", "x" } }));
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), ""); // the key is there, its default value is not

    const std::string quoted = "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\"";
    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "", quoted } }));
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), quoted);

    const std::string longest(259, 'a');
    ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "", longest } }));
    EXPECT_EQ(ReadRegistryDefault(m_registry, key), longest);

    for (std::size_t length : { 260u, 261u, 1000u }) {
        ASSERT_TRUE(m_registry.writeStrings(RegistryHive::ClassesRoot, key, { { "", std::string(length, 'b') } }));
        EXPECT_EQ(ReadRegistryDefault(m_registry, key), "") << length;
    }
}

TEST_F(Win32RegistryTest, AKeyThatCannotBeCreatedWritesNothingAndSaysSo)
{
    // A key name longer than the system allows (255 characters) cannot be created.
    const std::string tooLong = std::string(kRoot) + "\\" + std::string(300, 'k');
    EXPECT_FALSE(m_registry.writeStrings(RegistryHive::CurrentUser, tooLong, { { "A", "1" } }));
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, tooLong, "A"), std::nullopt);
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, kRoot, "A"), std::nullopt);
}

TEST_F(Win32RegistryTest, SettingsLiveUnderTheProgramsKey)
{
    SettingsStore settings(m_registry);
    const std::string previous = settings.read("Text1", "\x01unset");
    settings.save("Text1", "C:\\Output\\");
    EXPECT_EQ(settings.read("Text1", "default"), "C:\\Output\\");
    EXPECT_EQ(m_registry.readString(RegistryHive::CurrentUser, kSettingsKey, "Text1"), "C:\\Output\\");
    EXPECT_EQ(settings.read("NoSuchKey", 1), "1");
    if (previous != "\x01unset")
        settings.save("Text1", previous);
    else
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Text1");
}

} // namespace
} // namespace papyrant
