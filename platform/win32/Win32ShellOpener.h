#pragma once

#include "runtime/Dialogs.h"

namespace papyrant {

// Opens a folder in Explorer through the shell.
class Win32ShellOpener : public ShellOpener
{
public:
    void openFolder(const std::string& path) override;
};

} // namespace papyrant
