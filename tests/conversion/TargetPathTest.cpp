#include "conversion/TargetPath.h"

#include <gtest/gtest.h>

using namespace papyrant;

// The run's own tests cover the Linux paths; the Windows form keeps a network share's leading pair.
TEST(TargetPath, WindowsTargetsKeepOneSeparatorAndANetworkShare)
{
    EXPECT_EQ(pdfTargetPath("C:\\out\\", "C:\\in\\a.xml", '\\'), "C:\\out\\a.pdf");
    EXPECT_EQ(pdfTargetPath("C:\\out", "C:\\in\\a.xml", '\\'), "C:\\out\\a.pdf");
    EXPECT_EQ(pdfTargetPath("\\\\srv\\share\\", "\\\\srv\\share\\report.final.xml", '\\'),
        "\\\\srv\\share\\report.final.pdf");
    EXPECT_EQ(pdfTargetPath("C:\\out\\", "C:\\in\\README", '\\'), "C:\\out\\README.pdf");
}

TEST(TargetPath, RunTargetsNumberOnlyWhatAnotherSourceTook)
{
    RunTargets targets;
    EXPECT_EQ(targets.choose("/a/x.xml", "/o/x.pdf"), "/o/x.pdf");
    targets.record("/a/x.xml", "/o/x.pdf");
    EXPECT_EQ(targets.choose("/a/x.xml", "/o/x.pdf"), "/o/x.pdf");
    EXPECT_EQ(targets.choose("/b/x.xml", "/o/x.pdf"), "/o/x (2).pdf");
    targets.record("/b/x.xml", "/o/x (2).pdf");
    EXPECT_EQ(targets.choose("/c/x.xml", "/o/x.pdf"), "/o/x (3).pdf");
    // A source whose own name looks numbered is numbered after the taken name.
    EXPECT_EQ(targets.choose("/d/x (2).xml", "/o/x (2).pdf"), "/o/x (2) (2).pdf");
    targets.record("/d/x (2).xml", "/o/x (2) (2).pdf");
    // Each source asking again keeps what it printed to, also after later sources were numbered.
    EXPECT_EQ(targets.choose("/e/x.xml", "/o/x.pdf"), "/o/x (3).pdf");
    targets.record("/e/x.xml", "/o/x (3).pdf");
    EXPECT_EQ(targets.choose("/f/x.xml", "/o/x.pdf"), "/o/x (4).pdf");
    targets.record("/f/x.xml", "/o/x (4).pdf");
    EXPECT_EQ(targets.choose("/b/x.xml", "/o/x.pdf"), "/o/x (2).pdf");
    EXPECT_EQ(targets.choose("/e/x.xml", "/o/x.pdf"), "/o/x (3).pdf");
    EXPECT_EQ(targets.choose("/a/x.xml", "/o/x.pdf"), "/o/x.pdf");
    EXPECT_EQ(targets.choose("/g/x.xml", "/o/x.pdf"), "/o/x (5).pdf");
    // A name without ".pdf" is numbered at its end.
    targets.record("/a/r", "/o/r");
    EXPECT_EQ(targets.choose("/b/r", "/o/r"), "/o/r (2)");

    // Paths compare as the platform's file system does: exactly on Linux, ignoring case on Windows.
    RunTargets other;
    other.record("/a/x.xml", "/o/x.pdf");
    EXPECT_EQ(other.choose("/e/x.xml", "/o/X.pdf"), kNativeSeparator == '/' ? "/o/X.pdf" : "/o/X (2).pdf");
}

// A batch sends only targets of a shared family through RunTargets, so every name that numbering can make from a
// target must be of that target's family, and names that numbering cannot make of each other may differ.
TEST(TargetPath, NumberingKeepsATargetInItsFamily)
{
    EXPECT_EQ(numberedTarget("/o/x.pdf", 0), "/o/x.pdf");
    EXPECT_EQ(numberedTarget("/o/x.pdf", 1), "/o/x.pdf");
    EXPECT_EQ(numberedTarget("/o/x.pdf", 12), "/o/x (12).pdf");
    EXPECT_EQ(numberedTarget("/o/r", 2), "/o/r (2)");

    EXPECT_EQ(targetFamily("/o/x (2).pdf"), targetFamily("/o/x.pdf"));
    EXPECT_EQ(targetFamily("/o/x (2) (13).pdf"), targetFamily("/o/x.pdf"));
    EXPECT_EQ(targetFamily("/o/r (2)"), targetFamily("/o/r"));
    EXPECT_EQ(targetFamily("/o/r.pdf (3)"), targetFamily("/o/r"));
    EXPECT_NE(targetFamily("/o/x (a).pdf"), targetFamily("/o/x.pdf"));
    EXPECT_NE(targetFamily("/o/x().pdf"), targetFamily("/o/x.pdf"));
    EXPECT_NE(targetFamily("/o/x(2).pdf"), targetFamily("/o/x.pdf"));
    EXPECT_NE(targetFamily("/p/x.pdf"), targetFamily("/o/x.pdf"));
}
