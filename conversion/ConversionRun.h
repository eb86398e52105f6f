#pragma once

#include "platform/RunLock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace papyrant {

class ListedSources;
class MessageBoxes;
class PrinterSystem;
class Registry;
class Yielder;

// Starts a command line and waits for it, as ShellAndWait does: the exit code, or a large negative number when
// the program could not be started.
using Launcher = std::function<std::int32_t(const std::string&, std::optional<int>, Yielder&)>;

// What the conversion run reads from the window and shows in it. Everything is read live, at the moment the run
// needs it, because other commands may change the list, the options and Text1 during the run's yields.
class ConversionHost
{
public:
    virtual ~ConversionHost() = default;
    virtual std::size_t entryCount() const = 0;
    // The text of the list entry at 1-based position; throws RuntimeError when there is no such entry.
    virtual std::string entryText(std::size_t position) const = 0;
    virtual bool option1Selected() const = 0;
    virtual bool option2Selected() const = 0;
    virtual std::string text1() const = 0;
    virtual void setMousePointer(int value) = 0;
    // The share of the list that has been started, 0 to 100.
    virtual void setProgressValue(double value) = 0;
    virtual void setProgressText(const std::string& text) = 0;
    virtual MessageBoxes& messages() = 0;
    virtual Yielder& yielder() = 0;
    // The entries' texts, following the list while the run yields: the run never prints over a listed file.
    virtual ListedSources& listedSources() = 0;
};

struct ConversionServices
{
    Registry& registry;
    PrinterSystem& printers;
    Launcher launch; // ShellAndWait in the program
    // Keeps two runs from sharing the printer: held from before the default printer is saved until it is back.
    RunLockTaker runLock; // tryAcquireRunLock in the program
};

// The "Start Converting" command: prints every listed file to the PDF printer, one word-pad process per file.
class ConversionRun
{
public:
    explicit ConversionRun(ConversionServices services);

    bool IsConverting() const
    {
        return m_isConverting;
    }

    void PushButton2_Click(ConversionHost& host);

private:
    ConversionServices m_services;
    bool m_isConverting = false;
};

} // namespace papyrant
