#pragma once

#include <string>

namespace papyrant {

struct SaveDialogAnswer
{
    enum class Kind
    {
        Chosen,
        Cancelled,
        Unavailable, // no dialog program or no display: the name cannot be asked
    };
    Kind kind;
    std::string path; // Chosen
    std::string message; // Unavailable
};

// Asks the user where to save the PDF.
class SaveDialog
{
public:
    virtual ~SaveDialog() = default;
    virtual SaveDialogAnswer askSaveFileName(const std::string& proposedPath) = 0;
};

} // namespace papyrant
