#include "tests/app/Form1Harness.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace papyrant;
using papyrant::test::Form1Harness;

namespace {

// Wine's own Tahoma, the face a Windows program gets under Wine for its sans-serif text; its regular and bold.
const char* const kWineTahoma[] = { "/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf" };

} // namespace

TEST(Form1Layout, EveryCaptionFitsItsControlInEachCommonSansSerifFace)
{
    for (const char* file : kWineTahoma)
        ASSERT_NE(QFontDatabase::addApplicationFont(QString::fromLatin1(file)), -1) << file << " (fonts-wine)";
    Form1Harness h;
    // As shipped: the skin's paddings and indicators count.
    std::filesystem::create_directories(h.programFolder / "x");
    std::filesystem::copy_file(
        std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets/x/o.cjs", h.programFolder / "x" / "o.cjs");
    Form1& form = h.load();
    const QList<QAbstractButton*> controls = form.findChildren<QAbstractButton*>();
    ASSERT_GE(controls.size(), 8);

    // A user's system face may be wider than the one the layout was drawn with: the captions (9 pt, the buttons
    // 11.25 pt, bold) must fit in each of these.
    for (const QString& family :
        { QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Tahoma") }) {
        for (QAbstractButton* control : controls) {
            QFont font = control->font();
            font.setFamily(family);
            control->setFont(font);
            ASSERT_EQ(QFontInfo(control->font()).family(), family) << "the face is not installed";
            // The caption's own width, then what the style adds around it (indicator, padding, frame).
            const int textWidth = QFontMetrics(control->font()).horizontalAdvance(control->text());
            EXPECT_LT(textWidth, control->width()) << family.toStdString() << ": " << control->text().toStdString();
            EXPECT_LE(control->sizeHint().width(), control->width())
                << family.toStdString() << ": \"" << control->text().toStdString() << "\" needs "
                << control->sizeHint().width() << " px of " << control->width();
        }
    }
}
