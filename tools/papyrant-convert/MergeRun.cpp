#include "tools/papyrant-convert/MergeRun.h"

#include "conversion/PathHelpers.h"
#include "print/FileRender.h"
#include "print/FontFallback.h"
#include "print/ModificationTime.h"
#include "print/PaperSize.h"
#include "print/StoppableSource.h"
#include "tools/papyrant-convert/DeepPath.h"

#include <exception>
#include <new>
#include <sys/stat.h>

namespace papyrant {

namespace {

const std::string kCreator = "papyrant-convert";

PrintJob jobFor(const std::string& title, const PrintStyle& style)
{
    PrintJob job { paperForEnvironment(), title, textLocaleFromEnvironment() };
    job.creator = kCreator;
    job.style = style;
    return job;
}

FileResult failedWith(std::string reason)
{
    FileResult result;
    result.status = FileStatus::Failed;
    result.error = std::move(reason);
    return result;
}

} // namespace

std::string mergeConflict(const std::string& path, const IdentitySet& sources)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        return {}; // opening the file in its folder says what is wrong, if anything
    if (sources.contains(
            FileIdentity { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) }))
        return "it is one of the files to convert";
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
    return {};
}

MergeRun::MergeRun(std::string path, const PrintStyle& style)
    : m_path(std::move(path))
    , m_style(style)
    , m_file(m_path)
{
}

std::string MergeRun::open()
{
    if (!m_file.open())
        return writeFailureReason(m_file);
    m_merged.emplace(m_file, jobFor(ExtractFileName(m_path), m_style));
    if (!m_merged->valid())
        return m_merged->problem();
    return {};
}

FileResult MergeRun::add(const ConvertJob& job, const std::atomic<bool>& stop)
{
    if (!m_broken.empty())
        return {};
    if (!m_merged->ok()) {
        m_broken = m_file.error() != 0 ? writeFailureReason(m_file) : "the PDF could not be written";
        return {};
    }
    const Expected<int> source = openRegularFileDeep(job.source);
    if (!source)
        return failedWith(source.reason());
    StoppableSource input(*source, &stop);
    FileResult result;
    try {
        PrintJob print = jobFor(ExtractFileName(job.source), m_style);
        takeSourceFacts(print, *source);
        const MergedPdf::Added added = m_merged->add(input, print, job.source);
        if (!added.merged)
            return failedWith(added.reason);
        result.status = FileStatus::Converted;
        result.pages = added.pages;
        result.firstPage = added.firstPage;
        result.encoding = added.encoding;
    } catch (const StopRaised&) {
        m_broken = "stopped";
        return {};
    } catch (const std::bad_alloc&) {
        // What the document holds may be half changed: nothing more goes into it.
        m_broken = "not enough memory to print " + job.source;
        return {};
    } catch (const std::exception& error) {
        m_broken = std::string("the PDF could not be made: ") + error.what();
        return {};
    }
    return result;
}

std::string MergeRun::finish()
{
    if (!m_broken.empty())
        return m_broken;
    if (files() == 0)
        return "no file could be merged";
    std::string problem;
    if (!m_merged->finish(problem))
        return m_file.error() != 0 ? writeFailureReason(m_file) : problem;
    if (!m_file.commit())
        return writeFailureReason(m_file);
    return {};
}

} // namespace papyrant
