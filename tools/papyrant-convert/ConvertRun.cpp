#include "tools/papyrant-convert/ConvertRun.h"

#include "conversion/PathHelpers.h"
#include "print/AtomicFile.h"
#include "print/FileRender.h"
#include "runtime/Yielder.h"
#include "text/NameCase.h"
#include "text/Utf8.h"
#include "tools/papyrant-convert/ConvertInputs.h"
#include "tools/papyrant-convert/ConvertOptions.h"
#include "tools/papyrant-convert/DeepPath.h"
#include "tools/papyrant-convert/DisplayName.h"
#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"
#include "tools/papyrant-convert/JsonReport.h"
#include "tools/papyrant-convert/MergeRun.h"
#include "tools/papyrant-convert/ProgressLine.h"
#include "tools/papyrant-convert/ReportFile.h"
#include "tools/papyrant-convert/StandardStreams.h"
#include "tools/papyrant-convert/StopSignals.h"
#include "tools/papyrant-convert/TargetPlan.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <mutex>
#include <sched.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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
    explicit SignalYielder(StopSignals& signals)
        : m_signals(signals)
    {
    }
    void yield() override { }
    void pause(std::chrono::milliseconds duration) override
    {
        m_signals.wait(static_cast<int>(duration.count()));
    }
    bool stopRequested() const override
    {
        return m_signals.stop().load();
    }

private:
    StopSignals& m_signals;
};

// A PDF's place: its path as it is, or, when that is too long for one system call, its folder opened a level at
// a time and its name.
struct DeepTarget
{
    explicit DeepTarget(const std::string& path)
        : name(path)
    {
        if (path.size() < PATH_MAX)
            return;
        folder = openFolderDeep(folderPartOf(path));
        error = errno;
        if (folder < 0)
            folder = -2;
        name = namePartOf(path);
    }
    ~DeepTarget()
    {
        if (folder >= 0)
            ::close(folder);
    }
    DeepTarget(const DeepTarget&) = delete;
    DeepTarget& operator=(const DeepTarget&) = delete;

    std::optional<FileIdentity> identity() const
    {
        struct stat info = {};
        if (::fstatat(folder >= 0 ? folder : AT_FDCWD, name.c_str(), &info, 0) != 0)
            return std::nullopt;
        return FileIdentity { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
    }

    int folder = -1; // -1: the name is the whole path; -2: the folder cannot be reached (see error)
    int error = 0;
    std::string name;
};

// A name the batch left out, for the summary and the report.
struct SkippedName
{
    std::string path;
    std::string reason; // why; or, for a file met twice, the name it was taken under
    bool sameFile = false;
};

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const Utf8Char x = utf8CharAt(a, i);
        const Utf8Char y = utf8CharAt(b, j);
        const char32_t left = x.valid ? upperCaseForComparison(x.codePoint) : static_cast<unsigned char>(a[i]);
        const char32_t right = y.valid ? upperCaseForComparison(y.codePoint) : static_cast<unsigned char>(b[j]);
        if (left != right || x.valid != y.valid)
            return false;
        i += x.length;
        j += y.length;
    }
    return i == a.size() && j == b.size();
}

std::string plural(std::size_t count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

class Batch
{
public:
    Batch(const ConvertOptions& options, ConvertServices& services, const JobTable& jobs,
        const std::vector<SkippedName>& skipped, Clock::time_point began, bool keepResults, MergeRun* merge)
        : m_options(options)
        , m_services(services)
        , m_jobs(jobs)
        , m_skipped(skipped)
        , m_merge(merge)
        , m_progress(services.errors, services.errorsAreTerminal && options.verbosity != Verbosity::Quiet)
        , m_began(began)
    {
        // Only the report needs every file's result; without it, each is counted and dropped.
        if (keepResults)
            m_results.resize(m_jobs.size());
    }

    // Renders every job, several at once; returns when all are done or a stop was raised.
    void run()
    {
        m_start = Clock::now();
        // A merged PDF takes the files in the batch's order, one at a time.
        const unsigned workers
            = static_cast<unsigned>(std::min<std::size_t>(m_merge ? 1 : m_options.jobs, m_jobs.size()));
        std::vector<std::thread> threads;
        m_working.store(workers);
        for (unsigned i = 0; i < workers; ++i) {
            threads.emplace_back([this] {
                work();
                m_working.fetch_sub(1);
                m_services.signals.wake();
            });
        }
        std::size_t reported = 0;
        Clock::time_point lastDrawn;
        const bool terminal = m_services.errorsAreTerminal && m_options.verbosity != Verbosity::Quiet;
        const std::size_t columns = terminal ? terminalColumns() : 80;
        // Workers end early only when a stop came or a merged PDF can take no more files.
        while (reported < m_jobs.size() && !m_services.signals.stop().load() && m_working.load() > 0) {
            m_services.signals.wait(terminal ? kProgressRefreshMs : -1);
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
        std::snprintf(seconds, sizeof seconds, "%.1f s", secondsSince(m_began));
        std::string line = kProgram;
        if (signalNumber != 0)
            line += "stopped: ";
        line += "converted " + std::to_string(m_converted) + " of " + plural(m_jobs.size(), "file");
        if (m_merge && m_converted > 0)
            line += " into " + displayName(m_merge->path());
        if (m_kept > 0)
            line += ", kept " + std::to_string(m_kept);
        if (m_failed > 0)
            line += ", " + std::to_string(m_failed) + " failed";
        if (!m_skipped.empty())
            line += ", " + std::to_string(m_skipped.size()) + " skipped";
        m_progress.clear();
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

    // --merge, once the batch has run: puts the merged PDF in place, unless the batch was stopped. When it cannot
    // be put in place, no file was converted after all: each that was or that was not taken any more fails, with
    // the merged PDF's reason.
    void settleMerge(bool stopped)
    {
        if (!m_merge)
            return;
        if (stopped) {
            for (FileResult& result : m_results) {
                if (result.status == FileStatus::Converted)
                    result.status = FileStatus::NotDone;
            }
            m_converted = 0;
            return;
        }
        if (m_jobs.empty())
            return;
        const std::string failure = m_merge->finish();
        for (FileResult& result : m_results) {
            if (failure.empty() && result.status == FileStatus::Converted) {
                result.bytes = m_merge->bytes();
            } else if (!failure.empty()
                && (result.status == FileStatus::Converted || result.status == FileStatus::NotDone)) {
                result.status = FileStatus::Failed;
                result.error = "the merged PDF could not be written: " + failure;
            }
        }
        if (failure.empty())
            return;
        m_progress.message(kProgram + "cannot write the merged PDF " + displayName(m_merge->path()) + ": " + failure);
        m_failed = m_jobs.size() - m_kept;
        m_converted = 0;
    }

    // Only when the results were kept: every file's record, then every name left out.
    template <typename Write> void writeJson(const Write& write) const
    {
        for (std::size_t i = 0; i < m_jobs.size() && i < m_results.size(); ++i)
            write(jsonRecord(job(i), m_results[i], m_merge != nullptr) + '\n');
        for (const SkippedName& name : m_skipped) {
            write(
                (name.sameFile ? jsonSameFileRecord(name.path, name.reason) : jsonSkippedRecord(name.path, name.reason))
                + '\n');
        }
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
        if (m_merge)
            return m_merge->add(job, stop);
        // Paths too long for one system call are reached from their folders.
        const DeepTarget target(job.target);
        if (target.folder == -2) {
            result.status = FileStatus::Failed;
            result.error = std::string("cannot reach the output folder: ") + std::strerror(target.error);
            return result;
        }
        struct stat existing = {};
        if (m_options.noClobber
            && ::fstatat(
                   target.folder >= 0 ? target.folder : AT_FDCWD, target.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW)
                == 0) {
            // Only what was there before the batch is kept; a PDF this batch wrote is another source's.
            const std::string other = writtenBefore(target);
            result.status = other.empty() ? FileStatus::Kept : FileStatus::Failed;
            result.error = other;
            return result;
        }
        // Paths too long for one system call are opened from their folders.
        const Expected<int> source = openRegularFileDeep(job.source);
        if (!source) {
            result.status = FileStatus::Failed;
            result.error = source.reason();
            return result;
        }
        RenderRequest request;
        request.sourceDescriptor = *source;
        request.targetFolder = target.folder;
        request.target = target.name;
        // The writer shows bytes of the name that are not UTF-8 as U+FFFD in the title; the PDF's own file name
        // keeps them.
        request.title = ExtractFileName(job.source);
        request.creator = "papyrant-convert";
        request.style = m_options.style;
        request.stop = &stop;
        request.commit = [&](AtomicFile& file) { return commitOnce(file, target); };
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

    // "same PDF as ..." when the file at `target` is one this batch has written; else the empty text.
    std::string writtenBefore(const DeepTarget& target) const
    {
        const std::optional<FileIdentity> there = target.identity();
        if (!there)
            return {};
        const std::lock_guard<std::mutex> lock(m_commitMutex);
        if (!m_written.contains(*there))
            return {};
        return samePdfAs(*there, target.name);
    }

    // Puts a finished PDF in place unless its name leads to a PDF this batch wrote already (two spellings of one
    // file, through a link or a folder that ignores case): workers commit in parallel, so the look and the
    // commit are one step.
    std::string commitOnce(AtomicFile& file, const DeepTarget& target) const
    {
        FileIdentity identity;
        const bool known = file.identity(identity.device, identity.inode);
        std::optional<FileIdentity> taken;
        {
            const std::lock_guard<std::mutex> lock(m_commitMutex);
            taken = target.identity();
            if (!taken || !m_written.contains(*taken)) {
                if (!file.commit())
                    return writeFailureReason(file);
                if (known)
                    m_written.insert(identity);
                return {};
            }
        }
        return samePdfAs(*taken, target.name);
    }

    // Which source's PDF has the identity: only a PDF of the same name, whatever its case, can be one file with
    // this one, so only those are looked at. A batch keeps no path for each PDF it wrote.
    std::string samePdfAs(const FileIdentity& identity, const std::string& targetName) const
    {
        const std::string name = ExtractFileName(targetName);
        for (std::size_t i = 0; i < m_jobs.size(); ++i) {
            if (!m_jobs.hasTarget(i))
                continue;
            const std::string other = m_jobs.target(i);
            if (!sameNameIgnoringCase(ExtractFileName(other), name))
                continue;
            const DeepTarget there(other);
            if (there.identity() == identity)
                return "same PDF as " + displayName(m_jobs.source(i));
        }
        return "same PDF as another file of this run";
    }

    // The file as the report shows it: under --merge, every file's PDF is the merged one.
    ConvertJob job(std::size_t index) const
    {
        ConvertJob job = m_jobs.job(index);
        if (m_merge)
            job.target = m_merge->path();
        return job;
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
                m_progress.message(displayName(m_jobs.source(index)) + " -> " + displayName(job(index).target) + ": "
                    + plural(static_cast<std::size_t>(result.pages), "page")
                    + (m_merge ? " from page " + std::to_string(result.firstPage) : std::string()) + ", read as "
                    + result.encoding.name + " (" + sourceName(result.encoding.source) + ")");
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
    const std::vector<SkippedName>& m_skipped;
    MergeRun* m_merge; // --merge: where every file goes, else null
    std::vector<FileResult> m_results; // for the report only; written by the main thread
    ProgressLine m_progress;
    std::atomic<std::size_t> m_next { 0 };
    std::atomic<unsigned> m_working { 0 }; // workers still running
    std::atomic<std::size_t> m_current { SIZE_MAX };
    std::mutex m_mutex;
    std::vector<Finished> m_finished; // under m_mutex
    Clock::time_point m_start;
    Clock::time_point m_began; // of the whole run, the search included
    mutable std::mutex m_commitMutex;
    mutable IdentitySet m_written; // the PDFs this batch has put in place, under m_commitMutex
    std::size_t m_converted = 0;
    std::size_t m_kept = 0;
    std::size_t m_failed = 0;
};

int usageError(std::ostream& errors, const std::string& message)
{
    errors << kProgram << message << "\nTry 'papyrant-convert --help' for more information.\n";
    return kConvertUsage;
}

// Writes all of `text` to the descriptor; false when it cannot.
bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// -o: the folder, made when missing. A name that cannot be a folder is a mistake on the command line.
std::string prepareOutputFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && std::filesystem::is_directory(folder, error))
        return {};
    if (!error || error == std::errc::file_exists || error == std::errc::not_a_directory)
        return "the output folder " + displayName(folder) + " is a file";
    return "cannot create the output folder " + displayName(folder) + ": " + error.message();
}

} // namespace

int runConvert(const std::vector<std::string>& arguments, ConvertServices services)
{
    const Clock::time_point began = Clock::now();
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
    // Without the wake-up pipe no wait would end on Ctrl-C: nothing is touched.
    if (!services.signals.failure().empty()) {
        services.errors << kProgram << "cannot watch for Ctrl-C (" << services.signals.failure()
                        << "); nothing was converted\n";
        return kConvertCannotStart;
    }
    if (std::find(options.paths.begin(), options.paths.end(), "-") != options.paths.end()) {
        const std::string misuse = standardInputMisuse(options, services);
        if (!misuse.empty())
            return usageError(services.errors, misuse);
        return convertStandardInput(services, options.style);
    }
    if (options.jobs == 0)
        options.jobs = coreCount();
    const bool quiet = options.verbosity == Verbosity::Quiet;
    bool problems = false;

    InputRules rules;
    rules.allFiles = options.allFiles;
    rules.besideSource = !options.outputFolder;
    if (options.outputFolder) {
        const std::string failure = prepareOutputFolder(*options.outputFolder);
        if (!failure.empty()) {
            services.errors << kProgram << failure << "\n";
            return kConvertUsage;
        }
        rules.outputFolder = identityOf(*options.outputFolder);
    }
    const bool reportFile = options.jsonFile && *options.jsonFile != "-";
    // A report of an earlier run that the search meets is no source.
    if (reportFile) {
        if (const std::optional<FileIdentity> identity = identityOf(*options.jsonFile))
            rules.excluded.push_back({ *identity, "the JSON report of this run" });
    }
    if (options.mergeFile) {
        if (const std::optional<FileIdentity> identity = identityOf(*options.mergeFile))
            rules.excluded.push_back({ *identity, "the merged PDF of this run" });
    }

    std::vector<SkippedName> skipped;
    InputEvents events;
    events.skipped = [&](const std::string& path, const std::string& why, SkipKind kind) {
        skipped.push_back({ path, why, false });
        if (kind == SkipKind::Error)
            problems = true;
        if (kind == SkipKind::Error || !quiet)
            services.errors << kProgram << "skipped " << displayName(path) << ": " << why << "\n";
    };
    events.sameFile = [&](const std::string& path, const std::string& first) {
        skipped.push_back({ path, first, true });
        if (options.verbosity == Verbosity::Verbose)
            services.errors << kProgram << displayName(path) << ": same file as " << displayName(first) << "\n";
    };
    events.scanFailure = [&](const std::string& text) {
        problems = true;
        services.errors << kProgram << "while searching the folders: " << text << "\n";
    };
    SignalYielder yielder(services.signals);
    JobTable jobs(options.outputFolder);
    int reportFd = -1;
    std::optional<MergeRun> merge;
    {
        IdentitySet sources;
        collectInputs(options.paths, rules, events, yielder, jobs, sources);
        // Merged, the files have no PDFs of their own.
        if (!services.signals.stop().load() && !options.mergeFile)
            assignTargets(jobs, sources);
        // The merged PDF is checked as the report is, and made (unnamed) before the report is opened.
        if (options.mergeFile && !services.signals.stop().load()) {
            const std::string conflict = mergeConflict(*options.mergeFile, sources);
            if (!conflict.empty())
                return usageError(services.errors,
                    "the merged PDF " + displayName(*options.mergeFile) + " would replace a file: " + conflict);
            merge.emplace(*options.mergeFile, options.style);
            const std::string failure = merge->open();
            if (!failure.empty())
                return usageError(
                    services.errors, "cannot write the merged PDF " + displayName(*options.mergeFile) + ": " + failure);
        }
        // The report is opened only now, when it is known not to be a file that the batch reads or writes: a
        // slip on the command line must never cost a file.
        if (reportFile && !services.signals.stop().load()) {
            const std::string conflict = reportConflict(*options.jsonFile, jobs, sources, options.mergeFile);
            if (!conflict.empty())
                return usageError(services.errors,
                    "the JSON report " + displayName(*options.jsonFile) + " would replace a file: " + conflict);
            const OpenedReport opened = openReport(*options.jsonFile, services.signals);
            if (!opened.stopped && opened.fd < 0)
                return usageError(services.errors,
                    "cannot write the JSON report " + displayName(*options.jsonFile) + ": " + opened.failure);
            reportFd = opened.fd;
        }
    }
    // The search's and the naming's memory is free now; handing it back keeps a batch of many files from holding
    // it for the whole run.
    ::malloc_trim(0);

    const bool json = options.jsonFile.has_value() && (!reportFile || reportFd >= 0);
    Batch batch(options, services, jobs, skipped, began, json, merge ? &*merge : nullptr);
    if (!services.signals.stop().load())
        batch.run();
    const int signalNumber = services.signals.signalNumber();
    batch.settleMerge(signalNumber != 0);
    if (reportFd >= 0) {
        bool written = true;
        batch.writeJson([&](const std::string& line) { written = written && writeAll(reportFd, line); });
        if (::close(reportFd) != 0)
            written = false;
        if (!written) {
            services.errors << kProgram << "cannot write the JSON report " << displayName(*options.jsonFile) << "\n";
            problems = true;
        }
    } else if (json) {
        batch.writeJson([&](const std::string& line) { services.output << line; });
        services.output.flush();
    }
    if (signalNumber != 0) {
        batch.summarise(signalNumber);
        return 128 + signalNumber;
    }
    if (batch.empty() && skipped.empty()) {
        if (!quiet)
            services.errors << kProgram << "nothing to convert\n";
    } else {
        batch.summarise(0);
    }
    return problems || batch.anyFailed() ? kConvertSomeFailed : kConvertAllDone;
}

} // namespace papyrant
