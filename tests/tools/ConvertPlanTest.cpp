// The batch's own bookkeeping: the compact table of files, the identity set and the naming of the PDFs.
#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"
#include "tools/papyrant-convert/TargetPlan.h"

#include <gtest/gtest.h>

using namespace papyrant;

namespace {

std::vector<std::string> targetsOf(const JobTable& jobs)
{
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        targets.push_back(jobs.target(i));
    return targets;
}

} // namespace

TEST(ConvertPlan, RepeatedNamesAreNumberedInTheOrderFoundAndOthersKeepTheirNames)
{
    JobTable jobs(std::string("out"));
    for (const char* source : { "in/a/x.xml", "in/b/x (2).xml", "in/c/x.xml", "in/d/X.xml", "in/e/y.txt", "in/e/y.xml",
             "in/f/z.xml", "in/a/x.txt" })
        jobs.add(source);
    jobs.add("missing.xml", "file not found");
    assignTargets(jobs, IdentitySet());
    EXPECT_EQ(targetsOf(jobs),
        (std::vector<std::string> { "out/x.pdf", "out/x (2).pdf", "out/x (3).pdf", "out/X.pdf", "out/y.pdf",
            "out/y (2).pdf", "out/z.pdf", "out/x (4).pdf", "" }));
    EXPECT_EQ(jobs.source(1), "in/b/x (2).xml");
    EXPECT_EQ(jobs.problem(8), "file not found");
    EXPECT_EQ(jobs.problem(0), "");
}

TEST(ConvertPlan, BesideTheSourcesEachPdfGoesInItsSourcesFolderAndPathsKeepTheirBytes)
{
    JobTable jobs;
    const std::string odd = "in/two\nlines/caf\xE9 \"q\".xml";
    for (const std::string& source : { std::string("bare.xml"), std::string("/abs//dir/q.xml"), odd,
             std::string("in/a/x.xml"), std::string("in/b/x.xml"), std::string("in/a/x.txt") })
        jobs.add(source);
    // Many files, so that the names fill more than one of the table's blocks.
    for (int i = 0; i < 20000; ++i)
        jobs.add("in/many/" + std::to_string(i) + ".xml");
    assignTargets(jobs, IdentitySet());
    EXPECT_EQ(jobs.source(1), "/abs//dir/q.xml");
    EXPECT_EQ(jobs.source(2), odd);
    EXPECT_EQ(jobs.job(2).target, "in/two\nlines/caf\xE9 \"q\".pdf");
    std::vector<std::string> targets = targetsOf(jobs);
    targets.resize(6);
    EXPECT_EQ(targets,
        (std::vector<std::string> { "./bare.pdf", "/abs/dir/q.pdf", "in/two\nlines/caf\xE9 \"q\".pdf", "in/a/x.pdf",
            "in/b/x.pdf", "in/a/x (2).pdf" }));
    EXPECT_EQ(jobs.source(6 + 12345), "in/many/12345.xml");
    EXPECT_EQ(jobs.target(6 + 19999), "in/many/19999.pdf");
}

TEST(ConvertPlan, AnIdentityIsTakenOnce)
{
    IdentitySet set;
    for (std::uint64_t inode = 0; inode < 5000; ++inode)
        EXPECT_TRUE(set.insert({ 1, inode * 7 }));
    EXPECT_TRUE(set.insert({ 2, 7 }));
    EXPECT_FALSE(set.insert({ 1, 4999 * 7 }));
    EXPECT_FALSE(set.insert({ 1, 0 }));
    EXPECT_TRUE(set.contains({ 1, 700 }));
    EXPECT_FALSE(set.contains({ 1, 701 }));
    EXPECT_FALSE(set.contains({ 3, 7 }));
    EXPECT_FALSE(IdentitySet().contains({ 1, 0 }));
    EXPECT_EQ(set.size(), 5001u);
}
