#pragma once

#include "platform/Process.h"
#include "platform/RunLock.h"

#include <chrono>
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

// What the conversion run reads from the window and shows in it. Everything is read live, at the moment the run
// needs it, because other commands may change the list, the options and Text1 during the run's yields.
class ConversionHost
{
public:
    virtual ~ConversionHost() = default;
    virtual std::size_t entryCount() const = 0;
    // The text of the list entry at 1-based position; throws RuntimeError when there is no such entry.
    virtual std::string entryText(std::size_t position) const = 0;
    // The output options: every PDF into one folder, or each beside its source (the window's Option1, Option2
    // and Text1). Neither chosen puts the PDFs beside their sources too.
    virtual bool outputToFolder() const = 0;
    virtual bool outputBesideSource() const = 0;
    virtual std::string outputFolder() const = 0;
    virtual void setMousePointer(int value) = 0;
    // The share of the list that has been started, 0 to 100.
    virtual void setProgressValue(double value) = 0;
    virtual void setProgressText(const std::string& text) = 0;
    virtual MessageBoxes& messages() = 0;
    virtual Yielder& yielder() = 0;
    // The entries' texts, following the list while the run yields: the run never prints over a listed file.
    virtual ListedSources& listedSources() = 0;
};

// How long the run waits for a PDF that neither appears nor grows before it counts the file as not written.
inline constexpr std::chrono::milliseconds kPdfWaitLimit { 30000 };

struct ConversionServices
{
    Registry& registry;
    PrinterSystem& printers;
    Launcher launch; // ShellAndWait in the program
    // Keeps two runs from sharing the printer: held from before the default printer is saved until it is back.
    RunLockTaker runLock; // tryAcquireRunLock in the program
    // How long a PDF may keep the run waiting without appearing or growing.
    std::chrono::milliseconds pdfWaitLimit = kPdfWaitLimit;
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

    // What the window's PushButton2_Click runs.
    void run(ConversionHost& host);

private:
    ConversionServices m_services;
    bool m_isConverting = false;
};

} // namespace papyrant
