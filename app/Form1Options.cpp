// The save options: restoring them at start-up, remembering every change, and the output-folder browse button.
#include "app/Form1.h"
#include "filelist/BrowseForFolder.h"
#include "filelist/gui/FileNameText.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "runtime/Dialogs.h"
#include "runtime/GuardedCommand.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace papyrant {

namespace {

const char* word(bool value)
{
    return value ? "True" : "False";
}

} // namespace

void Form1::restoreOutputOptions(GuardedCommand& cmd)
{
    // Restoring False into both options must leave both unselected, which the group's exclusivity would not.
    Option1->setAutoExclusive(false);
    Option2->setAutoExclusive(false);
    auto select = [](QRadioButton* option, QRadioButton* other, bool value) {
        if (value && !option->isChecked())
            other->setChecked(false); // the group deselects the other before the click behaviour runs
        option->setChecked(value);
    };

    cmd.step(132, [&] {
        const std::string desktop = GetDesktopFolder(); // worked out first, even when the setting exists
        Text1->setText(fileNameText(m_settings->read("Text1", desktop)));
    });
    cmd.step(134, [&] { select(Option1, Option2, readBoolean(m_settings->read("Option1", 1))); });
    cmd.step(136, [&] { select(Option2, Option1, readBoolean(m_settings->read("Option2", 0))); });
    if (cmd.test(138, [&] { return Option1->isChecked(); }))
        cmd.step(140, [&] { Frame3->setEnabled(true); });
    else
        cmd.step(142, [&] { Frame3->setEnabled(false); });

    Option1->setAutoExclusive(true);
    Option2->setAutoExclusive(true);
}

void Form1::optionClickBehaviour()
{
    unguarded([&] {
        m_settings->save("Option1", word(Option1->isChecked()));
        m_settings->save("Option2", word(Option2->isChecked()));
    });
    Frame3->setEnabled(Option1->isChecked());
}

void Form1::Option1_Click()
{
    optionClickBehaviour();
}

void Form1::Option2_Click()
{
    optionClickBehaviour();
}

void Form1::Text1_Change()
{
    unguarded([&] { m_settings->save("Text1", fileNameBytes(Text1->text())); });
}

void Form1::PushButton9_Click()
{
    CommandScope scope(*this);
    GuardedCommand cmd(m_services.messages, commandLocation("PushButton9_Click"));
    std::string folder;
    cmd.step(100, [&] {
        m_lastFolderDotPath = m_settings->read("LastFolderDot", "");
        folder = BrowseForFolder(m_services.folderPicker, "Please select folder:", m_lastFolderDotPath);
    });
    if (!cmd.test(102, [&] { return !folder.empty(); }))
        return;
    bool endsInSeparator = false;
    cmd.step(104, [&] {
        m_lastFolderDotPath = folder;
        m_settings->save("LastFolderDot", folder);
        endsInSeparator = folder.back() == kNativeSeparator;
    });
    if (!endsInSeparator)
        cmd.step(106, [&] { Text1->setText(fileNameText(folder + kNativeSeparator)); });
    else
        cmd.step(108, [&] { Text1->setText(fileNameText(folder)); });
}

} // namespace papyrant
