#include "filelist/SampleFiles.h"

#include "filelist/FileList.h"
#include "filelist/ListFiles.h"
#include "platform/FileSystem.h"
#include "runtime/Dialogs.h"
#include "runtime/MessageBoxes.h"

namespace papyrant {

void AddSampleFiles(FileList& list, const std::string& programFolder, MessageBoxes& messages, ShellOpener& opener)
{
    const std::string samplesFolder = programFolder + kNativeSeparator + "Samples" + kNativeSeparator;
    const FileNameArray names = ListFiles(samplesFolder, "*.*");
    for (std::size_t i = 1; i <= names.upperBound(); ++i) {
        const std::string path = samplesFolder + names(i);
        if (FileExists(path) && !IsInList(list, path))
            list.add(path);
    }
    Message question;
    question.text = kOpenSamplesQuestion;
    question.buttons = MessageButtons::YesNo;
    if (messages.show(question) == MessageAnswer::Yes)
        opener.openFolder(samplesFolder);
}

} // namespace papyrant
