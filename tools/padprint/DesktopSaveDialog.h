#pragma once

#include "tools/padprint/SaveDialog.h"

namespace papyrant {

// The desktop's save dialog: zenity, else kdialog, started directly (never through a shell) when a display
// is there.
class DesktopSaveDialog : public SaveDialog
{
public:
    SaveDialogAnswer askSaveFileName(const std::string& proposedPath) override;
};

} // namespace papyrant
