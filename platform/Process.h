#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace papyrant {

class Yielder;

// Starts a command line as a new process (never through a shell) and waits until it has ended, polling every
// 100 ms and handling window events meanwhile. Returns the exit code, or the runtime error number of a failed
// start plus -2147221504. A stop request ends the wait early and ends the child.
std::int32_t ShellAndWait(const std::string& commandLine, std::optional<int> windowStyle, Yielder& yielder);

// How a command starts a program and waits for it: ShellAndWait in the program, a script in tests.
using Launcher = std::function<std::int32_t(const std::string&, std::optional<int>, Yielder&)>;

// The window style as the start facility takes it: 0 to 6 pass, anything else (or none) becomes 6.
int normaliseWindowStyle(std::optional<int> windowStyle);

} // namespace papyrant
