#pragma once

namespace papyrant {

// What the program and the virtual PDF printer agree on. The printer is installed under this name; when a job
// starts it reads two values under HKEY_CURRENT_USER\<kPdfPrinterKey>: the PDF goes to kOutputFileValue when
// kBypassSaveAsValue is kBypassSaveAsOn, and otherwise the user is asked for a file name.
inline constexpr const char* kPdfPrinterName = "Quillmark PDF Writer";
inline constexpr const char* kPdfPrinterKey = "Software\\Quillmark PDF Writer";
inline constexpr const char* kOutputFileValue = "OutputFile";
inline constexpr const char* kBypassSaveAsValue = "BypassSaveAs";
inline constexpr const char* kBypassSaveAsOn = "1";

} // namespace papyrant
