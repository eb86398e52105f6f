#pragma once

#include "conversion/ConversionRun.h"
#include "conversion/ListedSources.h"
#include "runtime/RuntimeError.h"
#include "tests/support/ScriptedServices.h"

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace papyrant::test {

// The window as the conversion run sees it: a list of entries, the options and Text1, and a record of what the
// run showed.
class FakeConversionHost : public ConversionHost
{
public:
    FakeConversionHost()
    {
        scriptedYielder.realTime = false;
    }

    std::size_t entryCount() const override
    {
        return entries.size();
    }
    std::string entryText(std::size_t position) const override
    {
        if (position < 1 || position > entries.size() || unreadable.count(position))
            throw RuntimeError(err::kIndexOutOfBounds);
        return entries[position - 1];
    }
    bool outputToFolder() const override
    {
        return option1;
    }
    bool outputBesideSource() const override
    {
        return option2;
    }
    std::string outputFolder() const override
    {
        return folder;
    }
    void setMousePointer(int value) override
    {
        pointers.push_back(value);
    }
    void setProgressValue(double value) override
    {
        progressValues.push_back(value);
    }
    void setProgressText(const std::string& text) override
    {
        progressTexts.push_back(text);
    }
    MessageBoxes& messages() override
    {
        return boxes;
    }
    Yielder& yielder() override
    {
        return scriptedYielder;
    }
    // Tests change the entries directly: the set is built again whenever they differ from what it was built of.
    ListedSources& listedSources() override
    {
        if (m_followed != entries) {
            m_sources.clear();
            for (const std::string& entry : entries)
                m_sources.add(entry);
            m_followed = entries;
        }
        return m_sources;
    }

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> texts;
        for (const Message& message : boxes.shown)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<std::string> entries;
    std::set<std::size_t> unreadable;
    bool option1 = false;
    bool option2 = true;
    std::string folder;

    std::vector<int> pointers;
    std::vector<double> progressValues;
    std::vector<std::string> progressTexts;
    ScriptedMessageBoxes boxes;
    ScriptedYielder scriptedYielder;

private:
    ListedSources m_sources;
    std::vector<std::string> m_followed;
};

} // namespace papyrant::test
