#pragma once

#include "tools/papyrant-convert/ConvertJob.h"

#include <optional>
#include <string>

namespace papyrant {

// Gives every job its PDF before any is rendered, in the jobs' order, by the window's rules: the output folder
// (or the source's own folder) and the source's name with ".pdf"; the same name for another source of the batch
// gets " (2)", " (3)", ...; a target that is one of the listed sources (by identity) fails the job instead.
void assignTargets(ConvertJobs& jobs, const std::optional<std::string>& outputFolder);

} // namespace papyrant
