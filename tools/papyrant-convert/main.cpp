// papyrant-convert: converts files and folders of XML to PDF files without the window.
#include "tools/papyrant-convert/ConvertRun.h"
#include "tools/papyrant-convert/StopSignals.h"

#include <exception>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace papyrant;
    StopSignals signals;
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return runConvert(
            arguments, { std::cerr, std::cout, ::isatty(STDERR_FILENO) == 1, ::isatty(STDOUT_FILENO) == 1, signals });
    } catch (const std::exception& error) {
        std::cerr << "papyrant-convert: " << error.what() << "\n";
        return kConvertSomeFailed;
    }
}
