#include "print/ModificationTime.h"

#include "print/TextPrinter.h"

#include <cstdio>
#include <sys/stat.h>

namespace papyrant {

std::string localMinuteStamp(std::time_t time)
{
    std::tm local {};
    if (!localtime_r(&time, &local))
        return {};
    char stamp[64];
    const int length = std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d", local.tm_year + 1900,
        local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof stamp)
        return {};
    return stamp;
}

void takeSourceFacts(PrintJob& job, int descriptor)
{
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return;
    job.modified = localMinuteStamp(status.st_mtime);
    job.sourceSize = static_cast<std::uint64_t>(status.st_size);
}

} // namespace papyrant
