#include "tools/papyrant-convert/ConvertRun.h"

#include "conversion/PathHelpers.h"
#include "print/FileRender.h"
#include "runtime/Yielder.h"
#include "tools/papyrant-convert/ConvertInputs.h"
#include "tools/papyrant-convert/ConvertOptions.h"
#include "tools/papyrant-convert/DisplayName.h"
#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"
#include "tools/papyrant-convert/JsonReport.h"
#include "tools/papyrant-convert/ProgressLine.h"
#include "tools/papyrant-convert/StopSignals.h"
#include "tools/papyrant-convert/TargetPlan.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <poll.h>
#include <sched.h>
#include <sys/stat.h>
#include <thread>
#include <utility>

#ifndef PAPYRANT_VERSION
#define PAPYRANT_VERSION "unknown"
#endif

namespace papyrant {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kProgressRefreshMs = 200;
constexpr auto kProgressRedraw = std::chrono::milliseconds(100);
const std::string kProgram = "papyrant-convert: ";

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

unsigned coreCount()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0)
        return static_cast<unsigned>(CPU_COUNT(&cpus));
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

// The folder search runs in the main thread; it stops when a signal arrives.
class SignalYielder : public Yielder
{
public:
    explicit SignalYielder(const StopSignals& signals)
        : m_signals(signals)
    {
    }
    void yield() override { }
    void pause(std::chrono::milliseconds duration) override
    {
        std::this_thread::sleep_for(duration);
    }
    bool stopRequested() const override
    {
        return m_signals.stop().load();
    }

private:
    const StopSignals& m_signals;
};

std::string plural(std::size_t count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

class Batch
{
public:
    Batch(const ConvertOptions& options, ConvertServices& services, const JobTable& jobs, bool keepResults)
        : m_options(options)
        , m_services(services)
        , m_jobs(jobs)
        , m_progress(services.errors, services.errorsAreTerminal && options.verbosity != Verbosity::Quiet)
    {
        // Only the report needs every file's result; without it, each is counted and dropped.
        if (keepResults)
            m_results.resize(m_jobs.size());
    }

    // Renders every job, several at once; returns when all are done or a stop was raised.
    void run()
    {
        m_start = Clock::now();
        const unsigned workers = static_cast<unsigned>(std::min<std::size_t>(m_options.jobs, m_jobs.size()));
        std::vector<std::thread> threads;
        for (unsigned i = 0; i < workers; ++i)
            threads.emplace_back([this] { work(); });
        std::size_t reported = 0;
        Clock::time_point lastDrawn;
        const bool terminal = m_services.errorsAreTerminal && m_options.verbosity != Verbosity::Quiet;
        const std::size_t columns = terminal ? terminalColumns() : 80;
        while (reported < m_jobs.size() && !m_services.signals.stop().load()) {
            pollfd wait { m_services.signals.waitDescriptor(), POLLIN, 0 };
            ::poll(&wait, 1, terminal ? kProgressRefreshMs : -1);
            m_services.signals.drain();
            for (Finished& finished : takeFinished()) {
                report(finished);
                ++reported;
            }
            // Redrawn a few times a second, not at every file: a terminal is slow to write to.
            if (terminal && reported < m_jobs.size() && Clock::now() - lastDrawn >= kProgressRedraw) {
                lastDrawn = Clock::now();
                const std::size_t current = m_current.load();
                m_progress.show(progressText(reported, m_jobs.size(), secondsSince(m_start),
                    current < m_jobs.size() ? m_jobs.source(current) : std::string(), columns));
            }
        }
        for (std::thread& thread : threads)
            thread.join();
        // Files that ended while the stop was being raised are reported too.
        for (Finished& finished : takeFinished())
            report(finished);
        m_progress.clear();
    }

    void summarise(int signalNumber)
    {
        if (m_options.verbosity == Verbosity::Quiet)
            return;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", secondsSince(m_start));
        std::string line = kProgram;
        if (signalNumber != 0)
            line += "stopped: ";
        line += "converted " + std::to_string(m_converted) + " of " + plural(m_jobs.size(), "file");
        if (m_kept > 0)
            line += ", kept " + std::to_string(m_kept);
        if (m_failed > 0)
            line += ", " + std::to_string(m_failed) + " failed";
        m_services.errors << line << " in " << seconds << "\n";
    }

    bool empty() const
    {
        return m_jobs.empty();
    }
    bool anyFailed() const
    {
        return m_failed > 0;
    }

    // Only when the results were kept.
    void writeJson(std::ostream& out) const
    {
        for (std::size_t i = 0; i < m_jobs.size() && i < m_results.size(); ++i)
            out << jsonRecord(m_jobs.job(i), m_results[i]) << '\n';
        out.flush();
    }

private:
    struct Finished
    {
        std::size_t index;
        FileResult result;
    };

    void work()
    {
        const std::atomic<bool>& stop = m_services.signals.stop();
        while (!stop.load()) {
            const std::size_t index = m_next.fetch_add(1);
            if (index >= m_jobs.size())
                return;
            m_current.store(index);
            const Clock::time_point start = Clock::now();
            FileResult result = convert(m_jobs.job(index), stop);
            if (result.status == FileStatus::NotDone)
                return; // stopped: nothing was written
            result.milliseconds = secondsSince(start) * 1000.0;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_finished.push_back({ index, std::move(result) });
            }
            m_services.signals.wake();
        }
    }

    FileResult convert(const ConvertJob& job, const std::atomic<bool>& stop) const
    {
        FileResult result;
        if (!job.problem.empty()) {
            result.status = FileStatus::Failed;
            result.error = job.problem;
            return result;
        }
        struct stat existing = {};
        if (m_options.noClobber && ::lstat(job.target.c_str(), &existing) == 0) {
            result.status = FileStatus::Kept;
            return result;
        }
        RenderRequest request;
        request.sourcePath = job.source;
        request.target = job.target;
        // The writer shows bytes of the name that are not UTF-8 as U+FFFD in the title; the PDF's own file name
        // keeps them.
        request.title = ExtractFileName(job.source);
        request.creator = "papyrant-convert";
        request.stop = &stop;
        const RenderOutcome outcome = renderFile(request);
        switch (outcome.status) {
        case RenderOutcome::Status::Written:
            result.status = FileStatus::Converted;
            result.pages = outcome.pages;
            result.bytes = outcome.bytes;
            result.encoding = outcome.encoding;
            break;
        case RenderOutcome::Status::Failed:
            result.status = FileStatus::Failed;
            result.error = outcome.reason;
            break;
        case RenderOutcome::Status::Stopped:
            break;
        }
        return result;
    }

    std::vector<Finished> takeFinished()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_finished, {});
    }

    void report(Finished& finished)
    {
        const std::size_t index = finished.index;
        const FileResult& result = finished.result;
        switch (result.status) {
        case FileStatus::Converted:
            ++m_converted;
            if (m_options.verbosity == Verbosity::Verbose)
                m_progress.message(displayName(m_jobs.source(index)) + " -> " + displayName(m_jobs.target(index)) + ": "
                    + plural(static_cast<std::size_t>(result.pages), "page") + ", read as " + result.encoding.name
                    + " (" + sourceName(result.encoding.source) + ")");
            break;
        case FileStatus::Kept:
            ++m_kept;
            if (m_options.verbosity != Verbosity::Quiet)
                m_progress.message(kProgram + displayName(m_jobs.target(index)) + " exists; kept (--no-clobber)");
            break;
        case FileStatus::Failed:
            ++m_failed;
            m_progress.message(kProgram + "cannot convert " + displayName(m_jobs.source(index)) + ": " + result.error);
            break;
        case FileStatus::NotDone:
            break;
        }
        if (index < m_results.size())
            m_results[index] = std::move(finished.result);
    }

    const ConvertOptions& m_options;
    ConvertServices& m_services;
    const JobTable& m_jobs; // not changed while the workers read it
    std::vector<FileResult> m_results; // for the report only; written by the main thread
    ProgressLine m_progress;
    std::atomic<std::size_t> m_next { 0 };
    std::atomic<std::size_t> m_current { SIZE_MAX };
    std::mutex m_mutex;
    std::vector<Finished> m_finished; // under m_mutex
    Clock::time_point m_start;
    std::size_t m_converted = 0;
    std::size_t m_kept = 0;
    std::size_t m_failed = 0;
};

int usageError(std::ostream& errors, const std::string& message)
{
    errors << kProgram << message << "\nTry 'papyrant-convert --help' for more information.\n";
    return kConvertUsage;
}

} // namespace

int runConvert(const std::vector<std::string>& arguments, ConvertServices services)
{
    ParsedOptions parsed = parseConvertOptions(arguments);
    if (!parsed.error.empty())
        return usageError(services.errors, parsed.error);
    ConvertOptions& options = parsed.options;
    if (options.help) {
        services.output << convertUsage();
        return kConvertAllDone;
    }
    if (options.version) {
        services.output << "papyrant-convert " << PAPYRANT_VERSION << "\n";
        return kConvertAllDone;
    }
    if (options.jobs == 0)
        options.jobs = coreCount();
    const bool quiet = options.verbosity == Verbosity::Quiet;
    bool problems = false;

    InputRules rules;
    rules.allFiles = options.allFiles;
    rules.besideSource = !options.outputFolder;
    if (options.outputFolder) {
        std::error_code error;
        std::filesystem::create_directories(*options.outputFolder, error);
        if (error) {
            services.errors << kProgram << "cannot create the output folder " << displayName(*options.outputFolder)
                            << ": " << error.message() << "\n";
        }
        rules.outputFolder = identityOf(*options.outputFolder);
    }

    // Opened before the search, so that a report that cannot be written costs no work, and so that the report is
    // never taken for a source.
    std::ofstream jsonFile;
    std::ostream* json = nullptr;
    if (options.jsonFile && *options.jsonFile == "-") {
        json = &services.output;
    } else if (options.jsonFile) {
        jsonFile.open(*options.jsonFile, std::ios::binary | std::ios::trunc);
        if (!jsonFile)
            return usageError(services.errors, "cannot write the JSON report " + displayName(*options.jsonFile));
        json = &jsonFile;
        if (const std::optional<FileIdentity> identity = identityOf(*options.jsonFile))
            rules.excluded.push_back(*identity);
    }

    InputEvents events;
    events.skipped = [&](const std::string& path, const std::string& why) {
        if (!quiet)
            services.errors << kProgram << "skipped " << displayName(path) << ": " << why << "\n";
    };
    events.scanFailure = [&](const std::string& text) {
        problems = true;
        services.errors << kProgram << "while searching the folders: " << text << "\n";
    };
    SignalYielder yielder(services.signals);
    JobTable jobs(options.outputFolder);
    {
        IdentitySet sources;
        collectInputs(options.paths, rules, events, yielder, jobs, sources);
        if (!services.signals.stop().load())
            assignTargets(jobs, sources);
    }
    // The search's and the naming's memory is free now; handing it back keeps a batch of many files from holding
    // it for the whole run.
    ::malloc_trim(0);

    Batch batch(options, services, jobs, json != nullptr);
    if (!services.signals.stop().load())
        batch.run();
    const int signalNumber = services.signals.signalNumber();
    if (json)
        batch.writeJson(*json);
    if (json == &jsonFile && !jsonFile) {
        services.errors << kProgram << "cannot write the JSON report " << displayName(*options.jsonFile) << "\n";
        problems = true;
    }
    if (signalNumber != 0) {
        batch.summarise(signalNumber);
        return 128 + signalNumber;
    }
    if (batch.empty()) {
        if (!quiet)
            services.errors << kProgram << "nothing to convert\n";
    } else {
        batch.summarise(0);
    }
    return problems || batch.anyFailed() ? kConvertSomeFailed : kConvertAllDone;
}

} // namespace papyrant
