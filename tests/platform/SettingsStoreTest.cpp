#include "platform/SettingsStore.h"

#include "runtime/RuntimeError.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

namespace papyrant {
namespace {

TEST(SettingsStore, MissingKeysGiveTheDefaultAsTextAndSavedValuesComeBack)
{
    test::FakeRegistry registry;
    SettingsStore settings(registry);
    EXPECT_EQ(settings.read("Option1", 1), "1");
    EXPECT_EQ(settings.read("Option2", 0), "0");
    EXPECT_EQ(settings.read("LastFolder", ""), "");
    EXPECT_EQ(settings.read("Text1", "/home/u/Desktop/"), "/home/u/Desktop/");

    settings.save("Option1", "False");
    settings.save("LastFolder", "");
    EXPECT_EQ(settings.read("Option1", 1), "False");
    EXPECT_EQ(settings.read("LastFolder", "unused"), ""); // an empty value is still a value
    EXPECT_EQ(
        registry.readString(RegistryHive::CurrentUser, "Software\\Quillmark\\Papyrant Software", "Option1"), "False");
}

TEST(SettingsStore, FailedSaveIsARuntimeError)
{
    test::FakeRegistry registry;
    registry.failWrites = true;
    SettingsStore settings(registry);
    EXPECT_THROW(settings.save("LastFolderDot", "/tmp"), RuntimeError);
}

TEST(SettingsStore, SavingTheStoredValueAgainWritesNothing)
{
    test::FakeRegistry registry;
    SettingsStore settings(registry);
    settings.save("Text1", "/data/");
    settings.save("Text1", "/data/");
    EXPECT_EQ(registry.writes, 1);
    settings.save("Text1", "/Data/"); // values compare exactly
    EXPECT_EQ(registry.writes, 2);
    EXPECT_EQ(settings.read("Text1", ""), "/Data/");

    registry.failWrites = true;
    EXPECT_NO_THROW(settings.save("Text1", "/Data/")) << "nothing to write, so nothing fails";
    EXPECT_THROW(settings.save("Text1", "/other/"), RuntimeError);
}

TEST(SettingsStore, BooleansReadLikeTheRuntimeConvertsThem)
{
    for (const char* yes : { "True", "true", "TRUE", " True ", "1", "-1", "2", "0.5", "1e3", "+3", "007" })
        EXPECT_TRUE(readBoolean(yes)) << yes;
    for (const char* no : { "False", "false", "fALSE", "0", "-0", "0.0", ".0", "0e5", " 0" })
        EXPECT_FALSE(readBoolean(no)) << no;
    for (const char* bad : { "", " ", "yes", "Truee", "1x", "0x1", "inf", "nan", "1e", ".", "--1", "1.2.3", "T rue" }) {
        try {
            readBoolean(bad);
            ADD_FAILURE() << "accepted \"" << bad << "\"";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), err::kTypeMismatch) << bad;
        }
    }
}

} // namespace
} // namespace papyrant
