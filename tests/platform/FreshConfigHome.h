#pragma once

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <string>

namespace papyrant::test {

// Points XDG_CONFIG_HOME at a new empty folder for the life of a test, so each test has its own registry.
class FreshConfigHome
{
public:
    FreshConfigHome()
    {
        ::setenv("XDG_CONFIG_HOME", m_dir.str().c_str(), 1);
    }
    ~FreshConfigHome()
    {
        ::unsetenv("XDG_CONFIG_HOME");
    }
    FreshConfigHome(const FreshConfigHome&) = delete;
    FreshConfigHome& operator=(const FreshConfigHome&) = delete;

    const TempDir& dir() const
    {
        return m_dir;
    }
    std::string databasePath() const
    {
        return m_dir.str() + "/papyrant/registry.sqlite";
    }

private:
    TempDir m_dir;
};

} // namespace papyrant::test
