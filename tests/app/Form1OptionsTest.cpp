#include "tests/app/Form1Harness.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

TEST(Form1Options, FirstStartSavesIntoTheDesktopFolder)
{
    Form1Harness h;
    Form1& form = h.load();
    const std::string desktop = (h.home / "Desktop").string() + "/";
    EXPECT_EQ(form.Text1->text().toStdString(), desktop);
    EXPECT_TRUE(form.Option1->isChecked());
    EXPECT_FALSE(form.Option2->isChecked());
    EXPECT_TRUE(form.Frame3->isEnabled());
    EXPECT_EQ(h.setting("Text1"), desktop) << "written back by the change behaviour";
}

TEST(Form1Options, RestoreRunsTheClickCascade)
{
    {
        Form1Harness h;
        h.storeSetting("Option1", "False");
        h.storeSetting("Option2", "True");
        h.storeSetting("Text1", "/srv/out/");
        Form1& form = h.load();
        EXPECT_FALSE(form.Option1->isChecked());
        EXPECT_TRUE(form.Option2->isChecked());
        EXPECT_FALSE(form.Frame3->isEnabled());
        EXPECT_FALSE(form.Text1->isEnabled()) << "disabled with its frame";
        EXPECT_EQ(form.Text1->text(), QStringLiteral("/srv/out/"));
        EXPECT_EQ(h.setting("Option1"), "False");
        EXPECT_EQ(h.setting("Option2"), "True");
    }
    {
        Form1Harness h;
        h.storeSetting("Option1", "0");
        h.storeSetting("Option2", "False");
        Form1& form = h.load();
        EXPECT_FALSE(form.Option1->isChecked()) << "False into both leaves both unselected";
        EXPECT_FALSE(form.Option2->isChecked());
        EXPECT_FALSE(form.Frame3->isEnabled());
        EXPECT_TRUE(h.messages.shown.empty());
    }
    {
        Form1Harness h;
        h.storeSetting("Option1", "maybe");
        Form1& form = h.load();
        ASSERT_EQ(h.messages.shown.size(), 1u);
        EXPECT_EQ(h.messages.shown[0].text.substr(0, 13), "Type mismatch");
        EXPECT_NE(h.messages.shown[0].text.find("at line 134"), std::string::npos);
        EXPECT_TRUE(form.Option1->isChecked()) << "the option keeps its state";
        EXPECT_TRUE(form.Frame3->isEnabled());
    }
}

TEST(Form1Options, ClicksAndTypingAreRememberedAtOnce)
{
    Form1Harness h;
    Form1& form = h.load();
    form.show();
    QTest::mouseClick(form.Option2, Qt::LeftButton);
    EXPECT_TRUE(form.Option2->isChecked());
    EXPECT_FALSE(form.Option1->isChecked());
    EXPECT_FALSE(form.Frame3->isEnabled());
    EXPECT_EQ(h.setting("Option1"), "False");
    EXPECT_EQ(h.setting("Option2"), "True");
    const QString kept = form.Text1->text();
    QTest::mouseClick(form.Option1, Qt::LeftButton);
    EXPECT_TRUE(form.Frame3->isEnabled());
    EXPECT_EQ(form.Text1->text(), kept);
    EXPECT_EQ(h.setting("Option1"), "True");

    form.Text1->clear();
    QTest::keyClicks(form.Text1, QStringLiteral("/tmp/x"));
    EXPECT_EQ(h.setting("Text1"), "/tmp/x");
    form.Text1->clear();
    EXPECT_EQ(h.setting("Text1"), "") << "an empty text is saved too";
}

TEST(Form1Options, BrowseButtonFillsTheFolderBox)
{
    Form1Harness h;
    Form1& form = h.load();
    const QString before = form.Text1->text();
    h.storeSetting("LastFolderDot", "/old");
    h.folderPicker.result = "";
    form.PushButton9_Click();
    EXPECT_EQ(form.Text1->text(), before) << "cancel changes nothing";
    EXPECT_EQ(h.setting("LastFolderDot"), "/old");
    EXPECT_EQ(h.folderPicker.startFolders.back(), "/old");
    EXPECT_EQ(h.folderPicker.titles.back(), "Please select folder:");

    h.folderPicker.result = "/data/out";
    form.PushButton9_Click();
    EXPECT_EQ(form.Text1->text(), QStringLiteral("/data/out/"));
    EXPECT_EQ(h.setting("LastFolderDot"), "/data/out");
    EXPECT_EQ(h.setting("Text1"), "/data/out/");

    h.folderPicker.result = "/";
    form.PushButton9_Click();
    EXPECT_EQ(form.Text1->text(), QStringLiteral("/")) << "a root already ends in the separator";
    EXPECT_EQ(h.folderPicker.startFolders.back(), "/data/out") << "the next browse starts at the last folder";

    h.registry.failWrites = true;
    h.folderPicker.result = "/elsewhere";
    form.PushButton9_Click();
    ASSERT_FALSE(h.messages.shown.empty());
    EXPECT_NE(h.messages.shown.back().text.find("Form1.PushButton9_Click at line 104"), std::string::npos);
    EXPECT_EQ(form.Text1->text(), QStringLiteral("/elsewhere/")) << "the command goes on after the report";
}
