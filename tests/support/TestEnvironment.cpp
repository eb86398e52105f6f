// Every test program starts with the folders of this build in its environment (unless already set), and with
// Qt on its offscreen platform, so that a test runs the same from CTest, a shell or a debugger.
#include <cstdlib>

namespace {

struct TestEnvironment
{
    TestEnvironment()
    {
        ::setenv("PAPYRANT_BIN_DIR", PAPYRANT_TEST_BIN_DIR, 0);
        ::setenv("PAPYRANT_SOURCE_DIR", PAPYRANT_TEST_SOURCE_DIR, 0);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
};

const TestEnvironment g_environment;

} // namespace
