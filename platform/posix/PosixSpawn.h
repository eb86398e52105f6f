#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace papyrant {

// The one way a program is started on Linux, for the launcher and for padprint's save dialog alike: never
// through a shell, standard input from /dev/null, standard output to `standardOutput` when it is given (else
// inherited), every descriptor past standard error closed, every signal at its default and none blocked. A name
// with a "/" is used as it stands, a bare name is looked up on PATH. Returns 0, or the errno value of a start
// that failed (posix_spawn reports a failed exec itself).
int spawnProgram(const std::vector<std::string>& arguments, pid_t& pid, int standardOutput = -1);

// How a child's end is told as an exit code: its own code, or 128 plus the signal that ended it.
int exitCodeOf(int waitStatus);

// Waits until the child has ended and reaps it; its exit code as exitCodeOf tells it, -1 when it cannot be
// waited for.
int waitForExit(pid_t pid);

} // namespace papyrant
