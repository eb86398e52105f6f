#include "conversion/ConversionRun.h"

#include "conversion/ConversionMessages.h"
#include "conversion/DefaultPrinter.h"
#include "conversion/ListedSources.h"
#include "conversion/PathHelpers.h"
#include "conversion/PdfArrival.h"
#include "conversion/PdfPrinter.h"
#include "conversion/TargetPath.h"
#include "platform/FileSnapshot.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "platform/WordPad.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MessageBoxes.h"
#include "runtime/MousePointer.h"
#include "runtime/RuntimeError.h"
#include "runtime/Yielder.h"
#include "text/CommandLine.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>

namespace papyrant {

namespace {

constexpr const char* kIdleText = "Progress Bar";
constexpr const char* kWaitingText = "Waiting for another conversion to finish";
constexpr std::chrono::milliseconds kRunLockRetry { 100 };
// After this many files in a row without a PDF the printer is taken to be broken: the rest are not printed, so
// that it does not cost the whole wait for every file of a long list.
constexpr int kFilesWithoutPdfBeforeGivingUp = 3;
constexpr const char* kNotTriedReason = "not tried, as the PDF printer wrote no file for three files in a row";

// A failed file named with why it failed.
std::string failure(const std::string& path, const std::string& reason)
{
    return path + ": " + reason;
}

// The bar shows the share of the list started so far, the current file included. Entries added during the run
// enlarge the divisor; the bar never goes past its maximum.
double progressShare(std::size_t started, std::size_t entries)
{
    if (entries == 0)
        return 100.0;
    return std::min(100.0, static_cast<double>(started) / static_cast<double>(entries) * 100.0);
}

// One press of "Start Converting" that passed the re-entry check: steps 104 to 176.
class ConversionSteps
{
public:
    ConversionSteps(GuardedCommand& cmd, ConversionHost& host, ConversionServices& services)
        : m_cmd(cmd)
        , m_host(host)
        , m_services(services)
    {
    }

    void run()
    {
        if (m_cmd.test(104, [&] { return m_host.entryCount() == 0; })) {
            m_cmd.step(176, [&] { m_host.messages().show(buildNoFilesMessage()); });
            return;
        }
        // Option2 needs no folder, and neither does a list with no option selected: its PDFs go beside their sources.
        if (m_cmd.test(106, [&] {
                return !FolderExists(m_host.outputFolder()) && !m_host.outputBesideSource() && m_host.outputToFolder();
            })) {
            m_cmd.step(174, [&] { m_host.messages().show(buildFolderMissingMessage()); });
            return;
        }
        m_cmd.step(108, [&] { m_host.yielder().yield(); });
        if (stopped())
            return;
        std::unique_ptr<RunLock> runLock = waitForRunLock();
        if (!runLock) {
            m_host.setProgressText(kIdleText);
            return; // the window closed while another run had the printer: this one never touched it
        }

        // Read from the system every time, so that a second run puts back the user's printer, not ours.
        const std::string saved = m_cmd.value(
            114, std::string(), [&] { return GetDefaultPrinter(m_services.printers, m_host.messages()); });
        // Step 116 asks whether the PDF printer could not be made the default; a failed test counts as passed,
        // so a failure there converts nothing either.
        const bool pdfPrinterRefused = m_cmd.test(
            116, [&] { return !SetPrinterAsDefault(m_services.printers, m_host.messages(), kPdfPrinterName, false); });
        const bool pdfPrinterSelected = !pdfPrinterRefused;
        if (pdfPrinterSelected)
            convertAll();

        const bool restored = m_cmd.value(
            164, false, [&] { return SetPrinterAsDefault(m_services.printers, m_host.messages(), saved, false); });
        runLock.reset(); // done with the printer; a waiting run need not wait for this one's messages
        m_cmd.step(166, [&] { m_host.setMousePointer(pointer::kDefault); });
        m_cmd.step(168, [&] { m_host.setProgressValue(0.0); });
        m_cmd.step(170, [&] { m_host.setProgressText(kIdleText); });
        // The window is closing: it takes no more messages.
        if (stopped())
            return;
        // Silence here would leave every later print of the user's going to a PDF file.
        if (pdfPrinterSelected && !restored && !saved.empty() && !m_cmd.ended())
            m_host.messages().show(buildPrinterNotRestoredMessage(saved));
        m_cmd.step(172, [&] {
            if (!pdfPrinterSelected)
                m_host.messages().show(buildPdfPrinterNotSelectedMessage());
            else if (m_wordPadMissing && m_failed.size() == m_fileCount)
                m_host.messages().show(buildWordPadMissingMessage(m_fileCount)); // one reason, said once
            else
                m_host.messages().show(buildDoneMessage(m_failed, m_fileCount));
        });
    }

private:
    enum class FileResult
    {
        Done,
        Stopped,
        PrinterBroken, // the printer has written nothing for several files in a row
    };

    // While another run holds the lock, waits for it handling window events; nothing when the window closes first.
    std::unique_ptr<RunLock> waitForRunLock()
    {
        std::unique_ptr<RunLock> runLock = m_services.runLock();
        if (!runLock)
            m_host.setProgressText(kWaitingText);
        while (!runLock) {
            m_host.yielder().pause(kRunLockRetry);
            if (stopped())
                return nullptr;
            runLock = m_services.runLock();
        }
        return runLock;
    }

    // Steps 118 to 162. The bound is taken once: entries added during the run are not converted by it.
    void convertAll()
    {
        m_fileCount = m_cmd.value(118, std::size_t { 0 }, [&] { return m_host.entryCount(); });
        for (std::size_t i = 1; i <= m_fileCount; ++i) {
            if (stopped())
                return;
            const FileResult result = convertFile(i);
            if (result == FileResult::Stopped)
                return;
            if (result == FileResult::PrinterBroken) {
                for (std::size_t rest = i + 1; rest <= m_fileCount; ++rest)
                    m_failed.push_back(failure(readEntry(rest).value_or(unreadableEntry(rest)), kNotTriedReason));
                return;
            }
        }
    }

    FileResult convertFile(std::size_t position)
    {
        m_cmd.step(120, [&] { m_host.setMousePointer(pointer::kHourglass); });
        m_cmd.step(122, [&] { m_host.setProgressValue(progressShare(position, m_host.entryCount())); });
        const std::optional<std::string> source
            = m_cmd.value(124, std::optional<std::string>(), [&] { return readEntry(position); });
        if (!source) {
            m_failed.push_back(unreadableEntry(position));
            return FileResult::Done;
        }
        // A name the system's code page cannot hold would reach the print program as another file's name.
        if (!systemCanName(*source)) {
            m_failed.push_back(*source + ": " + kNameNotInCodePageReason);
            return FileResult::Done;
        }
        m_cmd.step(126, [&] { m_host.setProgressText("Processing: " + ExtractFileName(*source)); });
        m_cmd.step(128, [&] { m_host.yielder().yield(); });
        if (stopped())
            return FileResult::Stopped;

        const std::optional<std::string> target = targetFor(*source);
        if (target && !systemCanName(*target)) {
            m_failed.push_back(*target + ": " + kNameNotInCodePageReason);
            return FileResult::Done;
        }
        // The target as it is before this print; the printer's PDF must differ from it.
        const std::optional<FileSnapshot> before = target ? fileSnapshot(*target) : std::nullopt;
        // Without its own values in the registry the print would go to the previous file's PDF.
        const bool written = target && m_cmd.value(140, false, [&] {
            return WriteRegistryStrings(m_services.registry, std::string(kPdfPrinterKey),
                { { kOutputFileValue, *target }, { kBypassSaveAsValue, kBypassSaveAsOn } });
        });
        if (!written) {
            m_failed.push_back(*source);
            return FileResult::Done;
        }
        m_cmd.step(152, [&] { selectPdfPrinter(m_services.printers); });
        m_cmd.step(158, [&] { m_host.yielder().yield(); });
        if (stopped())
            return FileResult::Stopped;

        m_targets.record(*source, *target);
        bool wordPadFound = true;
        const std::optional<std::int32_t> exitCode
            = m_cmd.value(160, std::optional<std::int32_t>(), [&]() -> std::optional<std::int32_t> {
                  const std::string wordPad = GetWordPadPath(m_services.registry);
                  // Windows 11 24H2 and later have no WordPad: nothing to start, and no bare start failure to show.
                  wordPadFound = !wordPad.empty();
                  if (!wordPadFound)
                      return std::nullopt;
                  return m_services.launch(wordPad + " /p " + QuoteArgument(*source), std::nullopt, m_host.yielder());
              });
        if (!wordPadFound) {
            m_wordPadMissing = true;
            m_failed.push_back(*source + ": " + kWordPadMissingReason);
            return FileResult::Done;
        }
        // A child ended by the stop request wrote no PDF, and nobody is left to tell.
        if (stopped())
            return FileResult::Stopped;
        if (exitCode != 0) {
            m_failed.push_back(*source);
            return FileResult::Done;
        }
        return awaitPdf(*source, *target, before);
    }

    // The word pad ended well, but the file counts only once its PDF is there, and the next file's values are
    // written only after that: a print still spooling would otherwise go to the next file's PDF.
    FileResult awaitPdf(const std::string& source, const std::string& target, const std::optional<FileSnapshot>& before)
    {
        switch (waitForPdf(target, before, m_services.pdfWaitLimit, m_host.yielder())) {
        case PdfArrival::Stopped:
            return FileResult::Stopped;
        case PdfArrival::Written:
            m_filesWithoutPdf = 0;
            return FileResult::Done;
        case PdfArrival::NotWritten:
            break;
        }
        m_failed.push_back(failure(source, kNoPdfReason));
        return ++m_filesWithoutPdf == kFilesWithoutPdfBeforeGivingUp ? FileResult::PrinterBroken : FileResult::Done;
    }

    static std::string unreadableEntry(std::size_t position)
    {
        return "(list entry " + std::to_string(position) + " could not be read)";
    }

    // An entry that has gone (the list changed under the run) fails its file quietly; the final message names it.
    std::optional<std::string> readEntry(std::size_t position)
    {
        try {
            return m_host.entryText(position);
        } catch (const RuntimeError&) {
            return std::nullopt;
        }
    }

    // Steps 130 to 138; nothing when the file must not be printed.
    std::optional<std::string> targetFor(const std::string& source)
    {
        const bool option1 = m_cmd.test(130, [&] { return m_host.outputToFolder(); });
        // 134: Option2, and also neither option, which has no rule of its own, put the PDF beside its source.
        const std::optional<std::string> wanted
            = m_cmd.value(option1 ? 132 : 136, std::optional<std::string>(), [&]() -> std::optional<std::string> {
                  return pdfTargetPath(option1 ? m_host.outputFolder() : ExtractFolder(source), source);
              });
        if (!wanted)
            return std::nullopt;
        return m_cmd.value(138, std::optional<std::string>(), [&]() -> std::optional<std::string> {
            std::string target = m_targets.choose(source, *wanted);
            // Printing over a listed file would destroy a source (a listed report.pdf, or a.pdf beside a.xml).
            if (m_host.listedSources().holds(target))
                return std::nullopt;
            return target;
        });
    }

    bool stopped() const
    {
        return m_host.yielder().stopRequested();
    }

    GuardedCommand& m_cmd;
    ConversionHost& m_host;
    ConversionServices& m_services;
    RunTargets m_targets;
    std::vector<std::string> m_failed;
    std::size_t m_fileCount = 0;
    bool m_wordPadMissing = false;
    int m_filesWithoutPdf = 0; // in a row
};

// Step 178, on every way out of the handler.
class ConvertingFlag
{
public:
    explicit ConvertingFlag(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~ConvertingFlag()
    {
        m_flag = false;
    }
    ConvertingFlag(const ConvertingFlag&) = delete;
    ConvertingFlag& operator=(const ConvertingFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

ConversionRun::ConversionRun(ConversionServices services)
    : m_services(std::move(services))
{
}

void ConversionRun::run(ConversionHost& host)
{
    GuardedCommand cmd(host.messages(), commandLocation("PushButton2_Click"));
    if (cmd.test(100, [&] { return m_isConverting; }))
        return;
    const ConvertingFlag converting(m_isConverting); // 102
    ConversionSteps(cmd, host, m_services).run();
}

} // namespace papyrant
