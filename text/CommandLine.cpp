#include "text/CommandLine.h"

namespace papyrant {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> ParseCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    const std::size_t size = commandLine.size();
    std::size_t i = 0;
    while (i < size && isBlank(commandLine[i]))
        ++i;
    if (i == size)
        return arguments;

    // The program name: double quotes group, a backslash is just a character (it is a path).
    std::string program;
    bool quoted = false;
    for (; i < size; ++i) {
        const char c = commandLine[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && isBlank(c))
            break;
        else
            program += c;
    }
    arguments.push_back(program);

    while (true) {
        while (i < size && isBlank(commandLine[i]))
            ++i;
        if (i == size)
            break;
        std::string argument;
        quoted = false;
        while (i < size && (quoted || !isBlank(commandLine[i]))) {
            const char c = commandLine[i];
            if (c == '\\') {
                std::size_t count = 0;
                for (; i < size && commandLine[i] == '\\'; ++i)
                    ++count;
                if (i < size && commandLine[i] == '"') {
                    // 2n backslashes and a quote: n backslashes, and the quote groups; 2n+1: n and a literal quote.
                    argument.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(count, '\\');
                }
            } else if (c == '"') {
                // Two quotes inside a quoted part stand for one quote, which stays inside the quoted part.
                if (quoted && i + 1 < size && commandLine[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                argument += c;
                ++i;
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::string QuoteArgument(const std::string& argument)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there they are doubled, and the quote itself escaped.
        if (c == '"') {
            quoted.append(2 * backslashes + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, '\\'); // before the closing quote
    quoted += '"';
    return quoted;
}

} // namespace papyrant
