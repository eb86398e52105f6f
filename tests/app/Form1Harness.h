#pragma once

#include "app/Form1.h"
#include "platform/PdfPrinterProtocol.h"
#include "platform/WordPad.h"
#include "runtime/Dialogs.h"
#include "runtime/RuntimeError.h"
#include "tests/support/FakePdfPrinter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeRunLock.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace papyrant::test {

class ScriptedFileOpen : public FileOpenDialog
{
public:
    std::string showOpen(const FileOpenRequest& request) override
    {
        requests.push_back(request);
        if (tooMany)
            throw RuntimeError(err::kFileDialogBufferTooSmall);
        return result;
    }
    std::string result;
    bool tooMany = false;
    std::vector<FileOpenRequest> requests;
};

class RecordingShell : public ShellOpener
{
public:
    void openFolder(const std::string& path) override
    {
        opened.push_back(path);
    }
    std::vector<std::string> opened;
};

// A main window over scripted services, a fake registry and printer table, a program folder and a home
// folder of its own. Its word pad runs `launch` (nothing when unset) and, when that ends with 0, prints to the
// PDF printer's target, so a run never waits out the missing-PDF limit.
class Form1Harness
{
public:
    explicit Form1Harness(bool withPdfPrinter = true)
    {
        programFolder = tmp.path() / "program";
        home = tmp.path() / "home";
        std::filesystem::create_directories(programFolder);
        std::filesystem::create_directories(home / "Desktop");
        ::setenv("HOME", home.c_str(), 1);
        ::unsetenv("XDG_DESKTOP_DIR");
        ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
        printers.printers = { "Office Laser" };
        if (withPdfPrinter)
            printers.printers.push_back("Quillmark PDF Writer");
        printers.defaultName = "Office Laser";
        // A word pad is registered: without one a run starts nothing.
        registry.writeStrings(RegistryHive::ClassesRoot, kWordPadServerKey, { { "", "\"/opt/pad/padprint\"" } });
    }

    Form1& create()
    {
        form = std::make_unique<Form1>(Form1Services { messages, folderPicker, fileOpen, shell, registry, printers,
            [this](const std::string& commandLine, std::optional<int> style, Yielder& yielder) {
                commandLines.push_back(commandLine);
                const std::int32_t exitCode = launch ? launch(commandLine, style, yielder) : 0;
                if (exitCode == 0)
                    writePrintedPdf(registry.readString(RegistryHive::CurrentUser, kPdfPrinterKey, kOutputFileValue)
                                        .value_or(std::string()));
                return exitCode;
            },
            runLock.taker(), programFolder.string() });
        return *form;
    }

    Form1& load()
    {
        create();
        form->Form_Load();
        return *form;
    }

    void writeFile(const std::filesystem::path& path, const std::string& bytes = "<a/>")
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string setting(const std::string& key)
    {
        return registry.readString(RegistryHive::CurrentUser, "Software\\Quillmark\\Papyrant Software", key)
            .value_or("<missing>");
    }
    void storeSetting(const std::string& key, const std::string& value)
    {
        registry.writeStrings(RegistryHive::CurrentUser, "Software\\Quillmark\\Papyrant Software", { { key, value } });
    }

    TempDir tmp;
    std::filesystem::path programFolder;
    std::filesystem::path home;
    ScriptedMessageBoxes messages;
    ScriptedFolderPicker folderPicker;
    ScriptedFileOpen fileOpen;
    RecordingShell shell;
    FakeRegistry registry;
    FakePrinters printers;
    FakeRunLock runLock;
    Launcher launch;
    std::vector<std::string> commandLines;
    std::unique_ptr<Form1> form;
};

} // namespace papyrant::test
