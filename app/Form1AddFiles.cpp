// "Add XML File(s)": the open dialog and the entries it adds.
#include "app/AddFilesMessages.h"
#include "app/Form1.h"
#include "conversion/PathHelpers.h"
#include "runtime/Dialogs.h"
#include "runtime/GuardedCommand.h"

#include <string>
#include <vector>

namespace papyrant {

namespace {

// OFN_READONLY + OFN_ALLOWMULTISELECT + OFN_EXPLORER + OFN_LONGNAMES
constexpr unsigned kAddFilesFlags = 2621953;

std::vector<std::string> splitAtNul(const std::string& text)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '\0')
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

} // namespace

void Form1::appendEntry(const std::string& text)
{
    m_list.add(text);
}

void Form1::PushButton1_Click()
{
    CommandScope scope(*this);
    GuardedCommand cmd(m_services.messages, commandLocation("PushButton1_Click"));
    cmd.setFailureOverride([this](const RuntimeError& error) {
        if (error.number() != err::kFileDialogBufferTooSmall)
            return false;
        m_services.messages.show(buildTooManyFilesMessage());
        return true;
    });

    FileOpenRequest request;
    std::string fileName;
    cmd.step(104, [&] { fileName.clear(); });
    cmd.step(106, [&] { request.flags = kAddFilesFlags; });
    cmd.step(108, [&] { request.title = "Add File(s) - Hold Ctrl to select multiple files"; });
    cmd.step(110, [&] { request.filter = "XML Files (*.xml)|*.xml|"; });
    cmd.step(112, [&] { fileName = m_services.fileOpen.showOpen(request); });
    if (cmd.ended() || !cmd.test(114, [&] { return !fileName.empty(); }))
        return;
    std::vector<std::string> parts;
    cmd.step(116, [&] { parts = splitAtNul(fileName); });
    if (parts.empty())
        return;
    if (cmd.test(118, [&] { return parts.size() == 1; })) {
        std::string path;
        cmd.step(120, [&] { path = parts[0]; });
        cmd.step(122, [&] { appendEntry(path); });
        return;
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string path;
        cmd.step(136, [&] { path = parts[0] + kNativeSeparator + parts[i]; });
        cmd.step(138, [&] { path = CollapseBackslashes(path); });
        cmd.step(140, [&] { appendEntry(path); });
    }
}

} // namespace papyrant
