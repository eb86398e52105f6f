#include "conversion/DefaultPrinter.h"

#include "platform/WordPad.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ScriptedServices.h"

#include <gtest/gtest.h>

namespace papyrant {
namespace {

TEST(DefaultPrinter, ReadsTheSystemDefaultEachTimeAndReportsWhenThereIsNone)
{
    test::FakePrinters printers;
    test::ScriptedMessageBoxes messages;
    EXPECT_EQ(GetDefaultPrinter(printers, messages), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
        "Error No: 482\r\nPrinter error\r\nHas occured in "
        "modPrinters.GetDefaultPrinter\r\nPlease contact Technical Support");
    EXPECT_EQ(messages.shown[0].title, std::nullopt);

    printers.printers = { "Laser", "Quillmark PDF Writer" };
    printers.defaultName = "Laser";
    EXPECT_EQ(GetDefaultPrinter(printers, messages), "Laser");
    printers.defaultName = "Quillmark PDF Writer"; // changed by someone else meanwhile
    EXPECT_EQ(GetDefaultPrinter(printers, messages), "Quillmark PDF Writer");
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(DefaultPrinter, SettingAnUnknownOrEmptyNameFailsAndSaysSoOnlyWhenAsked)
{
    test::FakePrinters printers;
    printers.printers = { "Laser", "Quillmark PDF Writer" };
    printers.defaultName = "Laser";
    test::ScriptedMessageBoxes messages;

    EXPECT_FALSE(SetPrinterAsDefault(printers, messages, "Missing", false));
    EXPECT_FALSE(SetPrinterAsDefault(printers, messages, "", false));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(SetPrinterAsDefault(printers, messages, "Missing", true));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Cannot set printer.");
    EXPECT_EQ(messages.shown[0].title, std::nullopt);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);

    EXPECT_TRUE(SetPrinterAsDefault(printers, messages, "Quillmark PDF Writer", true));
    EXPECT_EQ(printers.defaultName, "Quillmark PDF Writer");
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(WordPadLocator, ReturnsTheRegisteredCommandUnchanged)
{
    test::FakeRegistry registry;
    EXPECT_EQ(GetWordPadPath(registry), "");
    const std::string command = "\"%ProgramFiles%\\Windows NT\\Accessories\\WORDPAD.EXE\"";
    registry.writeStrings(
        RegistryHive::ClassesRoot, "Wordpad.Document.1\\Protocol\\StdFileEditing\\Server", { { "", command } });
    EXPECT_EQ(GetWordPadPath(registry), command);
}

} // namespace
} // namespace papyrant
