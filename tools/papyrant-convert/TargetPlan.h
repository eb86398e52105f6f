#pragma once

#include "tools/papyrant-convert/IdentitySet.h"
#include "tools/papyrant-convert/JobTable.h"

namespace papyrant {

// Gives every job its PDF before any is rendered, in the jobs' order, by the window's rules: the output folder
// (or the source's own folder) and the source's name with ".pdf"; the same name for another source of the batch
// gets " (2)", " (3)", ...; a target that is one of the listed sources (by identity) fails the job instead.
void assignTargets(JobTable& jobs, const IdentitySet& sources);

} // namespace papyrant
