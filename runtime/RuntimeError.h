#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace papyrant {

// The runtime's standard error numbers that the program's behaviour depends on.
namespace err {
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInternalError = 51;
inline constexpr int kBadFileNameOrNumber = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIoError = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kBadFileName = 64;
inline constexpr int kInvalidFileFormat = 321;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidPicture = 481;
inline constexpr int kPrinterError = 482;
inline constexpr int kObjectCannotBeCreated = 429;
inline constexpr int kFileDialogBufferTooSmall = 20476;
inline constexpr int kIndexOutOfBounds = 35600;
} // namespace err

// The runtime's standard wording for an error number ("Application-defined or object-defined error" otherwise).
std::string standardErrorDescription(int number);

// A runtime failure: a number and the runtime's description. Thrown by procedures that pass failures up to
// the guarded command that called them.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, std::string description);

    int number() const noexcept
    {
        return m_number;
    }
    const std::string& description() const noexcept
    {
        return m_description;
    }
    const char* what() const noexcept override
    {
        return m_description.c_str();
    }

private:
    int m_number;
    std::string m_description;
};

// The object-error base that a failed program start adds to the runtime error number.
inline constexpr std::int32_t kObjectErrorBase = -2147221504;

} // namespace papyrant
