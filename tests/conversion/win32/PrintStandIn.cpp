// The word pad and the PDF printer of the Windows end-to-end test, in one: "PrintStandIn /p FILE" prints FILE
// as the virtual printer would, by copying its bytes to the registry's "OutputFile", and only while the PDF
// printer is the default printer and "BypassSaveAs" is "1". Exit code 0 when printed.
#include <cstring>
#include <string>
#include <windows.h>
#include <winspool.h>

namespace {

std::string readPrinterValue(const char* name)
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Software\\Quillmark PDF Writer", name, RRF_RT_REG_SZ, nullptr, buffer, &size)
        != ERROR_SUCCESS)
        return {};
    return buffer;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "/p") != 0)
        return 2;
    char printer[512] = {};
    DWORD size = sizeof printer;
    if (!::GetDefaultPrinterA(printer, &size) || std::string(printer) != "Quillmark PDF Writer")
        return 3;
    if (readPrinterValue("BypassSaveAs") != "1")
        return 4;
    const std::string target = readPrinterValue("OutputFile");
    if (target.empty() || !::CopyFileA(argv[2], target.c_str(), FALSE))
        return 5;
    return 0;
}
