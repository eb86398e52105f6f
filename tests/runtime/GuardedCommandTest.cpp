#include "runtime/GuardedCommand.h"

#include "runtime/ErrorReport.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedServices.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using namespace papyrant;

TEST(ErrorReport, TextIsBuiltPieceByPiece)
{
    const Message report
        = buildErrorReport(RuntimeError(err::kFileNotFound), "Orvantis2021/08/31.Form1.Form_Load", 132);
    EXPECT_EQ(report.text,
        "File not found\r\nin Orvantis2021/08/31.Form1.Form_Load at line 132\r\r"
        "Please email screenshot of this message to support@papyrant.example");
    EXPECT_EQ(report.title, "Application Error");
    EXPECT_EQ(report.icon, MessageIcon::Exclamation);
    EXPECT_EQ(report.buttons, MessageButtons::Ok);
}

TEST(GuardedCommand, AFailedStepIsReportedAndTheCommandGoesOn)
{
    test::ScriptedMessageBoxes messages;
    GuardedCommand cmd(messages, "Here");
    std::vector<int> ran;
    cmd.step(100, [&] { ran.push_back(100); });
    cmd.step(102, [&] {
        ran.push_back(102);
        throw RuntimeError(err::kPermissionDenied);
        ran.push_back(-1);
    });
    cmd.step(104, [&] { ran.push_back(104); });
    cmd.step(106, [&] { throw std::runtime_error("boom"); });
    cmd.step(108, [&] { throw std::bad_alloc(); });

    EXPECT_EQ(ran, (std::vector<int> { 100, 102, 104 }));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(messages.shown[0].text.find("Permission denied\r\nin Here at line 102\r\r"), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("Internal error: boom\r\nin Here at line 106"), std::string::npos);
    EXPECT_NE(messages.shown[2].text.find("Out of memory\r\nin Here at line 108"), std::string::npos);
}

TEST(GuardedCommand, AFailedTestCountsAsPassed)
{
    test::ScriptedMessageBoxes messages;
    GuardedCommand cmd(messages, "Here");
    EXPECT_TRUE(cmd.test(102, []() -> bool { throw RuntimeError(err::kTypeMismatch); }));
    EXPECT_FALSE(cmd.test(104, [] { return false; }));
    EXPECT_EQ(cmd.value(106, 7, []() -> int { throw RuntimeError(err::kOverflow); }), 7);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("at line 102"), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("at line 106"), std::string::npos);
}

TEST(GuardedCommand, AnOverrideCanEndTheCommandInsteadOfReporting)
{
    test::ScriptedMessageBoxes messages;
    GuardedCommand cmd(messages, "Here");
    const Message dialogAnswer { "Pick fewer files.", std::nullopt, MessageIcon::None, MessageButtons::Ok };
    cmd.setFailureOverride([&](const RuntimeError& error) {
        if (error.number() != err::kFileDialogBufferTooSmall)
            return false;
        messages.show(dialogAnswer);
        return true;
    });
    int later = 0;
    cmd.step(110, [] { throw RuntimeError(err::kTypeMismatch); });
    cmd.step(112, [] { throw RuntimeError(err::kFileDialogBufferTooSmall); });
    cmd.step(114, [&] { ++later; });
    EXPECT_EQ(later, 0);
    EXPECT_TRUE(cmd.ended());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "Application Error");
    EXPECT_EQ(messages.shown[1].text, dialogAnswer.text);
}
