#include "tests/app/Form1Harness.h"

#include <QGroupBox>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

std::filesystem::path shippedSkin()
{
    return std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets/x/o.cjs";
}

} // namespace

TEST(Form1Skin, WithoutASkinTheWindowKeepsItsWhiteDesign)
{
    Form1Harness h;
    Form1& form = h.load();
    EXPECT_TRUE(form.styleSheet().isEmpty());
    for (QWidget* white : { static_cast<QWidget*>(form.Frame5), static_cast<QWidget*>(form.Option2) })
        EXPECT_EQ(white->palette().color(white->backgroundRole()), QColor(Qt::white));
    EXPECT_TRUE(h.messages.shown.empty());
}

TEST(Form1Skin, TheShippedSkinRestylesTheWindowOnTheButtonFace)
{
    Form1Harness h;
    std::filesystem::create_directories(h.programFolder / "x");
    std::filesystem::copy_file(shippedSkin(), h.programFolder / "x" / "o.cjs");
    Form1& form = h.load();
    EXPECT_TRUE(h.messages.shown.empty()) << h.messages.shown.front().text;
    EXPECT_FALSE(form.styleSheet().isEmpty());

    // A sheet that restyles nothing shows the button face the window, frames and options take first.
    Form1Harness plain;
    plain.writeFile(plain.programFolder / "x" / "o.cjs", "/* the theme's own look */");
    Form1& themed = plain.load();
    const QColor buttonFace = QWidget().palette().color(QPalette::Button);
    for (QWidget* w : { static_cast<QWidget*>(&themed), static_cast<QWidget*>(themed.Option1),
             static_cast<QWidget*>(themed.Frame3), static_cast<QWidget*>(themed.Frame5) })
        EXPECT_EQ(w->palette().color(w->backgroundRole()), buttonFace) << w->objectName().toStdString();
    EXPECT_NE(buttonFace, QColor(Qt::white));
}

TEST(Form1Skin, AnUnreadableOrBrokenSkinIsReportedAtStep100)
{
    const std::string broken[] = {
        std::string("QPushButton { color: red; }\xff\xfe", 30), // not UTF-8
        "QPushButton { color: red; ", // unbalanced
    };
    for (const std::string& bytes : broken) {
        Form1Harness h;
        h.writeFile(h.programFolder / "x" / "o.cjs", bytes);
        Form1& form = h.load();
        ASSERT_EQ(h.messages.shown.size(), 1u) << bytes;
        EXPECT_NE(h.messages.shown[0].text.find("Form1.Form_Load at line 100"), std::string::npos);
        EXPECT_TRUE(form.styleSheet().isEmpty()) << "no half-applied skin";
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Papyrant Software")) << "start-up went on";
    }
    Form1Harness h;
    std::filesystem::create_directories(h.programFolder / "x" / "o.cjs"); // a folder is no skin
    h.load();
    EXPECT_TRUE(h.messages.shown.empty());
}
