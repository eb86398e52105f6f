#include "platform/DirectoryListing.h"
#include "platform/FileSnapshot.h"
#include "platform/FileSystem.h"
#include "runtime/RuntimeError.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace papyrant {
namespace {

class Win32FileSystemTest : public ::testing::Test
{
protected:
    std::string path(const std::string& name) const
    {
        return m_dir.str() + "\\" + name;
    }
    std::string makeFile(const std::string& name, DWORD attributes = 0) const
    {
        const std::string file = path(name);
        std::ofstream(file) << "<a/>";
        if (attributes)
            ::SetFileAttributesA(file.c_str(), attributes);
        return file;
    }
    std::string makeFolder(const std::string& name, DWORD attributes = 0) const
    {
        const std::string folder = path(name);
        ::CreateDirectoryA(folder.c_str(), nullptr);
        if (attributes)
            ::SetFileAttributesA(folder.c_str(), attributes);
        return folder;
    }
    static int errorNumberOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    test::TempDir m_dir;
};

TEST_F(Win32FileSystemTest, ExistenceTestsTellFilesFromFolders)
{
    const std::string file = makeFile("a.xml");
    const std::string hidden = makeFile("hidden.xml", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::string readOnly = makeFile("locked.xml", FILE_ATTRIBUTE_READONLY);
    const std::string folder = makeFolder("Sub");

    EXPECT_TRUE(IsExistingFile(file));
    EXPECT_TRUE(IsExistingFile(hidden));
    EXPECT_TRUE(IsExistingFile(readOnly));
    EXPECT_FALSE(IsExistingFile(folder));
    EXPECT_FALSE(IsExistingFile(folder + "\\"));
    EXPECT_FALSE(IsExistingFile(path("missing.xml")));
    EXPECT_FALSE(IsExistingFile(""));
    EXPECT_FALSE(IsExistingFile(path("bad<name>.xml")));

    // FileExists: anything with a last-write time.
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(folder));
    EXPECT_FALSE(FileExists(path("missing.xml")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(path("bad|name")));

    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(FolderExists(folder + "\\"));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(path("missing")));
    EXPECT_FALSE(FolderExists(""));

    // A doubled separator, as a drive root's paths are built, is accepted by the file system.
    EXPECT_TRUE(IsExistingFile(m_dir.str() + "\\\\a.xml"));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileSystemTest, AttributesAreTheRuntimesBits)
{
    const std::string file = makeFile("a.xml");
    const std::string readOnly = makeFile("b.xml", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    const std::string systemFolder = makeFolder("Sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::string hiddenFolder = makeFolder("Hid", FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(GetAttributes(file) & ~attr::kArchive, 0);
    EXPECT_EQ(GetAttributes(readOnly), attr::kReadOnly | attr::kArchive);
    EXPECT_EQ(GetAttributes(systemFolder), 22);
    EXPECT_EQ(GetAttributes(systemFolder + "\\"), 22);
    EXPECT_EQ(GetAttributes(hiddenFolder), attr::kDirectory | attr::kHidden);

    EXPECT_EQ(errorNumberOf([&] { GetAttributes(path("missing.xml")); }), err::kFileNotFound);
    EXPECT_EQ(errorNumberOf([&] { GetAttributes(path("missing\\x.xml")); }), err::kPathNotFound);
    EXPECT_EQ(errorNumberOf([&] { GetAttributes(path("missing\\")); }), err::kPathNotFound);
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileSystemTest, ListingMatchesTheLongNameOnly)
{
    // These two have a short 8.3 name ending in ".XML", which the system's own match also looks at; the third has
    // ".xml" inside its name only.
    for (const char* name : { "a.xmlx", "longer name.xml2" }) {
        const std::string file = makeFile(name);
        char shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameA(file.c_str(), shortPath, MAX_PATH);
        ASSERT_GT(length, 0u) << name;
        ASSERT_LT(length, static_cast<DWORD>(MAX_PATH)) << name;
        std::string shortName(shortPath, length);
        shortName = shortName.substr(shortName.find_last_of('\\') + 1);
        EXPECT_NE(shortName, name);
        ASSERT_GE(shortName.size(), 4u) << shortName;
        EXPECT_EQ(
            ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, shortName.c_str() + shortName.size() - 4, 4, ".XML", 4),
            CSTR_EQUAL)
            << name << " has the short name " << shortName;
    }
    makeFile("report.xml.bak");
    makeFile("b.xml");
    makeFile("C.XML");
    makeFile("hidden.xml", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    makeFile("noext");
    makeFolder("folder.xml");

    EXPECT_EQ(
        listMatchingFileNames(m_dir.str(), "*.xml"), (std::vector<std::string> { "b.xml", "C.XML", "hidden.xml" }));
    EXPECT_EQ(listMatchingFileNames(m_dir.str() + "\\", "?.xml"), (std::vector<std::string> { "b.xml", "C.XML" }));
    EXPECT_EQ(listMatchingFileNames(m_dir.str(), "*.*"),
        (std::vector<std::string> {
            "a.xmlx", "b.xml", "C.XML", "hidden.xml", "longer name.xml2", "noext", "report.xml.bak" }));
    EXPECT_TRUE(listMatchingFileNames(m_dir.str(), "*.pdf").empty());

    const std::string empty = makeFolder("Empty");
    EXPECT_TRUE(listMatchingFileNames(empty, "*.*").empty());
    EXPECT_EQ(errorNumberOf([&] { listMatchingFileNames(path("missing"), "*.xml"); }), err::kPathNotFound);
}

TEST_F(Win32FileSystemTest, SubfoldersComeSortedWithAttributesAndIdentities)
{
    makeFolder("beta");
    makeFolder("Alpha");
    makeFolder("Sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    makeFile("file.xml");

    const FolderListing listing = listSubfolders(m_dir.str() + "\\");
    ASSERT_EQ(listing.subfolders.size(), 3u);
    EXPECT_EQ(listing.subfolders[0].name, "Alpha");
    EXPECT_EQ(listing.subfolders[1].name, "beta");
    EXPECT_EQ(listing.subfolders[2].name, "Sys");
    EXPECT_EQ(listing.subfolders[0].attributes & ~attr::kArchive, attr::kDirectory);
    EXPECT_EQ(listing.subfolders[2].attributes, 22);
    EXPECT_NE(listing.subfolders[0].identity, listing.subfolders[1].identity);
    EXPECT_NE(listing.identity, listing.subfolders[0].identity);
    // The same folder by another path is the same folder.
    EXPECT_EQ(listSubfolders(path("Alpha")).identity, listing.subfolders[0].identity);
    EXPECT_EQ(listSubfolders(m_dir.str() + "\\Alpha\\..\\ALPHA").identity, listing.subfolders[0].identity);

    EXPECT_EQ(errorNumberOf([&] { listSubfolders(path("missing")); }), err::kPathNotFound);
    EXPECT_EQ(errorNumberOf([&] { listSubfolders(path("file.xml")); }), err::kPathNotFound);
}

TEST_F(Win32FileSystemTest, NamesOutsideTheCodePageAreListedAsTheyAreAndNeverTakenForALookAlike)
{
    // In code page 1252, "\u0100" (A with macron) has the best fit "A", and "\u0416" (Zhe) no form at all.
    ASSERT_EQ(::GetACP(), 1252u);
    const std::string apple = makeFile("Apple.xml");
    const std::string macron = path("\xc4\x80pple.xml");
    const std::string zhe = path("\xd0\x96");
    std::ofstream(std::filesystem::path(m_dir.str()) / std::filesystem::path(L"\u0100pple.xml")) << "<b/>";
    ASSERT_TRUE(::CreateDirectoryW((std::filesystem::path(m_dir.str()) / L"\u0416").c_str(), nullptr));

    std::vector<std::string> names = listMatchingFileNames(m_dir.str(), "*.xml");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "Apple.xml", "\xc4\x80pple.xml" }));
    const FolderListing listing = listSubfolders(m_dir.str());
    ASSERT_EQ(listing.subfolders.size(), 1u);
    EXPECT_EQ(listing.subfolders[0].name, "\xd0\x96");
    EXPECT_NE(listing.subfolders[0].identity, listing.identity);

    // The single-byte functions cannot reach these names: they say so rather than answer for "Apple.xml" or "?".
    EXPECT_TRUE(IsExistingFile(apple));
    EXPECT_FALSE(IsExistingFile(macron));
    EXPECT_FALSE(FileExists(macron));
    EXPECT_FALSE(FolderExists(zhe));
    EXPECT_EQ(errorNumberOf([&] { GetAttributes(macron); }), err::kFileNotFound);
    EXPECT_FALSE(systemCanName(macron));
    EXPECT_FALSE(systemCanName(zhe));
    EXPECT_TRUE(systemCanName(path("R\xc3\xa9sum\xc3\xa9.xml")));
}

TEST_F(Win32FileSystemTest, SpecialFoldersEndAsThePathRulesWant)
{
    const std::string desktop = GetDesktopFolder();
    ASSERT_GE(desktop.size(), 3u);
    EXPECT_EQ(desktop.back(), '\\');
    EXPECT_NE(desktop[desktop.size() - 2], '\\');
    EXPECT_TRUE(FolderExists(desktop));

    const std::string program = programFolder();
    EXPECT_NE(program.back(), '\\');
    EXPECT_TRUE(IsExistingFile(program + "\\win32_platform_tests.exe"));
}

TEST_F(Win32FileSystemTest, PathsCompareAsTheFileSystemDoes)
{
    EXPECT_TRUE(pathsEqual("C:\\Data\\a.xml", "c:\\DATA\\A.XML"));
    EXPECT_TRUE(pathsEqual("C:\\Gr\xc3\xbc\xc3\x9f"
                           "e\\\xc3\xa9",
        "C:\\GR\xc3\x9c\xc3\x9f"
        "E\\\xc3\x89"));
    EXPECT_FALSE(pathsEqual("C:\\Data\\a.xml", "C:\\Data\\a.xm"));
    EXPECT_FALSE(pathsEqual("C:\\Data\\a.xml", "C:\\Data\\b.xml"));

    EXPECT_TRUE(isRootFolder("C:\\"));
    EXPECT_TRUE(isRootFolder("c:\\\\"));
    EXPECT_TRUE(isRootFolder("\\\\server\\share"));
    EXPECT_TRUE(isRootFolder("\\\\server\\share\\"));
    EXPECT_FALSE(isRootFolder("C:"));
    EXPECT_FALSE(isRootFolder("C:\\Data\\"));
    EXPECT_FALSE(isRootFolder("\\\\server\\"));
    EXPECT_FALSE(isRootFolder("\\\\server\\share\\folder"));
    EXPECT_FALSE(isRootFolder(""));
}

TEST_F(Win32FileSystemTest, SnapshotsTellAFileStillBeingWrittenFromAWholeOne)
{
    EXPECT_FALSE(fileSnapshot(path("missing.pdf")).has_value());
    EXPECT_FALSE(opensWithoutWriteSharing(path("missing.pdf")));
    const std::optional<FileSnapshot> folder = fileSnapshot(makeFolder("Sub"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_FALSE(folder->regular);
    EXPECT_FALSE(opensWithoutWriteSharing(path("Sub")));

    // A printer writing the PDF, sharing it with readers and writers as most programs do.
    const std::string pdf = path("out.pdf");
    const HANDLE writer = ::CreateFileA(pdf.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const std::optional<FileSnapshot> empty = fileSnapshot(pdf);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->regular);
    EXPECT_EQ(empty->size, 0u);
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(writer, "%PDF-1.7", 8, &written, nullptr));
    const std::optional<FileSnapshot> grown = fileSnapshot(pdf);
    ASSERT_TRUE(grown.has_value());
    EXPECT_EQ(grown->size, 8u);
    EXPECT_EQ(grown->identity, empty->identity);
    EXPECT_FALSE(opensWithoutWriteSharing(pdf)) << "still open for writing";
    ::CloseHandle(writer);
    EXPECT_TRUE(opensWithoutWriteSharing(pdf));

    // Another file put under the same name differs from the one before.
    ::DeleteFileA(pdf.c_str());
    makeFile("out.pdf");
    const std::optional<FileSnapshot> replaced = fileSnapshot(pdf);
    ASSERT_TRUE(replaced.has_value());
    EXPECT_NE(replaced, grown);
}

} // namespace
} // namespace papyrant
