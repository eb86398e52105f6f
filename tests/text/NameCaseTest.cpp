#include "text/NameCase.h"

#include <gtest/gtest.h>
#include <string>

using namespace papyrant;

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Every pair of Latin letters, each in either case, orders as the alphabet does; the first and last letters
// are where a range test slips.
TEST(NameCaseTest, LettersOfEitherCaseOrderAsTheAlphabet)
{
    const std::string lower = "abcdefghijklmnopqrstuvwxyz";
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (std::size_t i = 0; i < lower.size(); ++i) {
        for (std::size_t j = 0; j < lower.size(); ++j) {
            const int expected = sign(static_cast<int>(i) - static_cast<int>(j));
            for (const std::string& a : { lower, upper })
                for (const std::string& b : { lower, upper })
                    EXPECT_EQ(sign(compareNamesIgnoringCase(a.substr(i, 1) + "x", b.substr(j, 1) + "y")),
                        i == j ? -1 : expected)
                        << a[i] << "x against " << b[j] << "y";
        }
    }
    // The folders of one listing: "zeta" comes before "Zulu", whatever the case, so zeta's report is the first
    // report.xml named and gets report.pdf.
    EXPECT_LT(compareNamesIgnoringCase("zeta", "Zulu"), 0);
    EXPECT_GT(compareNamesIgnoringCase("Zulu", "zeta"), 0);
    EXPECT_LT(compareNamesIgnoringCase("Alpha", "alpine"), 0);
    // Equal but for case: the bytes decide, so the order is total.
    EXPECT_NE(compareNamesIgnoringCase("Zulu", "zulu"), 0);
    EXPECT_EQ(compareNamesIgnoringCase("zulu", "zulu"), 0);
}

} // namespace
