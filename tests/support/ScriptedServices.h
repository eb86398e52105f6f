#pragma once

#include "runtime/Dialogs.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Yielder.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace papyrant::test {

// Records every message box and answers from a script (Ok, or the next scripted answer for Yes/No).
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    MessageAnswer show(const Message& message) override
    {
        shown.push_back(message);
        if (onShow)
            onShow(message);
        if (message.buttons == MessageButtons::YesNo) {
            if (answers.empty())
                return MessageAnswer::No;
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return MessageAnswer::Ok;
    }

    std::vector<Message> shown;
    std::deque<MessageAnswer> answers;
    std::function<void(const Message&)> onShow;
};

// Counts yields and runs an optional action at each, to change the world in the middle of a command.
class ScriptedYielder : public Yielder
{
public:
    void yield() override
    {
        ++yields;
        if (onYield)
            onYield();
    }
    void pause(std::chrono::milliseconds duration) override
    {
        ++pauses;
        paused += duration;
        if (onYield)
            onYield();
        if (realTime)
            std::this_thread::sleep_for(duration);
    }
    bool stopRequested() const override
    {
        return stop;
    }

    int yields = 0;
    int pauses = 0;
    std::chrono::milliseconds paused { 0 };
    bool stop = false;
    bool realTime = true;
    std::function<void()> onYield;
};

class ScriptedFolderPicker : public FolderPicker
{
public:
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override
    {
        titles.push_back(title);
        startFolders.push_back(startFolder);
        return result;
    }
    std::string result;
    std::vector<std::string> titles;
    std::vector<std::string> startFolders;
};

} // namespace papyrant::test
