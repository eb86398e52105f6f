#include "runtime/RuntimeError.h"

#include <utility>

namespace papyrant {

std::string standardErrorDescription(int number)
{
    switch (number) {
    case 3:
        return "Return without GoSub";
    case 5:
        return "Invalid procedure call or argument";
    case 6:
        return "Overflow";
    case 7:
        return "Out of memory";
    case 9:
        return "Subscript out of range";
    case 11:
        return "Division by zero";
    case 13:
        return "Type mismatch";
    case 51:
        return "Internal error";
    case 52:
        return "Bad file name or number";
    case 53:
        return "File not found";
    case 55:
        return "File already open";
    case 57:
        return "Device I/O error";
    case 58:
        return "File already exists";
    case 61:
        return "Disk full";
    case 62:
        return "Input past end of file";
    case 64:
        return "Bad file name";
    case 67:
        return "Too many files";
    case 68:
        return "Device unavailable";
    case 70:
        return "Permission denied";
    case 71:
        return "Disk not ready";
    case 75:
        return "Path/File access error";
    case 76:
        return "Path not found";
    case 91:
        return "Object variable or With block variable not set";
    case 321:
        return "Invalid file format";
    case 424:
        return "Object required";
    case 429:
        return "ActiveX component can't create object";
    case 438:
        return "Object doesn't support this property or method";
    case 481:
        return "Invalid picture";
    case 482:
        return "Printer error";
    case 35600:
        return "Index out of bounds";
    case 20476:
        return "The FileName buffer is too small to store the selected file name(s).";
    default:
        return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, standardErrorDescription(number))
{
}

RuntimeError::RuntimeError(int number, std::string description)
    : m_number(number)
    , m_description(std::move(description))
{
}

} // namespace papyrant
