#include "conversion/ConversionRun.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/WordPad.h"
#include "runtime/MousePointer.h"
#include "runtime/RuntimeError.h"
#include "tests/conversion/FakeConversionHost.h"
#include "tests/support/FakePdfPrinter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeRunLock.h"
#include "tests/support/TempDir.h"
#include "text/CommandLine.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace papyrant;
using namespace papyrant::test;

namespace {

const std::string kPdfPrinter = "Quillmark PDF Writer";
const std::string kPdfPrinterKey = "Software\\Quillmark PDF Writer";
const std::string kWordPadKey = kWordPadServerKey;
const std::string kWordPadProgram = "/opt/pad/padprint";
const std::string kUserPrinter = "Office Laser";

// What the word pad found when it was started.
struct Print
{
    std::string commandLine;
    std::optional<int> windowStyle;
    std::vector<std::string> arguments;
    std::string outputFile;
    std::string bypassSaveAs;
    std::string defaultPrinter;
    bool converting = false;

    std::string source; // as the case wrote it
};

class ConversionRunTest : public ::testing::Test
{
protected:
    ConversionRunTest()
    {
        printers.printers = { kUserPrinter, kPdfPrinter };
        printers.defaultName = kUserPrinter;
        registry.writeStrings(RegistryHive::ClassesRoot, kWordPadKey, { { "", "\"" + kWordPadProgram + "\"" } });
    }

    void press()
    {
        run.run(host);
    }

    // The cases write absolute paths with "/"; the run sees them inside a scratch folder, as the platform writes
    // them, so that the fake word pad can write real PDFs there.
    std::string native(std::string path) const
    {
        std::replace(path.begin(), path.end(), '/', kNativeSeparator);
        return path.starts_with(kNativeSeparator) ? sandbox.str() + path : path;
    }

    std::string portable(std::string path) const
    {
        const std::string root = sandbox.str() + kNativeSeparator;
        for (std::size_t at = path.find(root); at != std::string::npos; at = path.find(root, at))
            path.erase(at, root.size() - 1);
        std::replace(path.begin(), path.end(), kNativeSeparator, '/');
        return path;
    }

    // A folder that exists, for the output options; its path as the cases write it.
    std::string makeFolder(const std::string& path) const
    {
        std::filesystem::create_directories(native(path));
        return path;
    }

    bool pdfExists(const std::string& path) const
    {
        return std::filesystem::is_regular_file(native(path));
    }

    // A press of a run that gives up on a missing PDF at its first look, for the cases whose word pad writes nothing.
    void pressWithoutWaiting()
    {
        ConversionServices impatient = services;
        impatient.pdfWaitLimit = std::chrono::milliseconds(0);
        ConversionRun(impatient).run(host);
    }

    std::string registryValue(const std::string& name)
    {
        return registry.readString(RegistryHive::CurrentUser, kPdfPrinterKey, name).value_or("(none)");
    }

    std::vector<std::string> printedSources() const
    {
        std::vector<std::string> sources;
        for (const Print& print : prints)
            sources.push_back(print.source);
        return sources;
    }

    std::vector<std::string> printedTargets() const
    {
        std::vector<std::string> targets;
        for (const Print& print : prints)
            targets.push_back(portable(print.outputFile));
        return targets;
    }

    void list(const std::vector<std::string>& paths)
    {
        host.entries.clear();
        for (const std::string& path : paths)
            host.entries.push_back(native(path));
    }

    std::vector<std::string> shown() const
    {
        std::vector<std::string> texts;
        for (const std::string& text : host.shownTexts())
            texts.push_back(portable(text));
        return texts;
    }

    Launcher recordingLauncher()
    {
        return [this](const std::string& commandLine, std::optional<int> windowStyle, Yielder&) -> std::int32_t {
            Print print;
            print.commandLine = commandLine;
            print.windowStyle = windowStyle;
            print.arguments = ParseCommandLine(commandLine);
            print.source = print.arguments.size() == 3 ? portable(print.arguments[2]) : std::string();
            print.outputFile = registryValue("OutputFile");
            print.bypassSaveAs = registryValue("BypassSaveAs");
            print.defaultPrinter = printers.defaultName;
            print.converting = run.IsConverting();
            prints.push_back(print);
            const std::int32_t exitCode = onPrint ? onPrint(print) : 0;
            if (exitCode == 0 && !writesNothing.contains(print.source))
                writePdf(print.outputFile);
            return exitCode;
        };
    }

    // As the printer does. The cases' folders are made as needed inside the scratch folder; elsewhere a folder
    // that is not there gets no PDF.
    void writePdf(const std::string& target) const
    {
        const std::filesystem::path path(target);
        if (target.starts_with(sandbox.str()))
            std::filesystem::create_directories(path.parent_path());
        writePrintedPdf(path);
    }

    FakeRegistry registry;
    FakePrinters printers;
    FakeConversionHost host;
    std::vector<Print> prints;
    TempDir sandbox;
    // The word pad's exit code for each print; 0 when unset. On 0 it writes its PDF, unless its source is listed
    // in writesNothing.
    std::function<std::int32_t(const Print&)> onPrint;
    std::set<std::string> writesNothing;
    FakeRunLock runLock;
    ConversionServices services { registry, printers, recordingLauncher(), runLock.taker() };
    ConversionRun run { services };
};

TEST_F(ConversionRunTest, EachFilePrintsAfterItsRegistryValuesWithThePdfPrinterAsDefault)
{
    list({ "/data/one.xml", "/data/two words.xml", "/data/three.XML", "/data/-four.xml" });

    press();

    ASSERT_EQ(prints.size(), 4u);
    for (std::size_t i = 0; i < prints.size(); ++i) {
        const Print& print = prints[i];
        const std::string& source = host.entries[i];
        EXPECT_EQ(print.commandLine, "\"" + kWordPadProgram + "\" /p \"" + source + "\"");
        EXPECT_EQ(print.arguments, (std::vector<std::string> { kWordPadProgram, "/p", source }));
        EXPECT_FALSE(print.windowStyle.has_value()) << "the word pad starts minimised without focus";
        EXPECT_EQ(print.bypassSaveAs, "1");
        EXPECT_EQ(print.defaultPrinter, kPdfPrinter);
        EXPECT_TRUE(print.converting);
    }
    EXPECT_EQ(printedTargets(),
        (std::vector<std::string> { "/data/one.pdf", "/data/two words.pdf", "/data/three.pdf", "/data/-four.pdf" }));
    EXPECT_EQ(host.progressValues, (std::vector<double> { 25, 50, 75, 100, 0 }));
    EXPECT_EQ(host.progressTexts,
        (std::vector<std::string> { "Processing: one.xml", "Processing: two words.xml", "Processing: three.XML",
            "Processing: -four.xml", "Progress Bar" }));
    EXPECT_EQ(host.pointers.front(), pointer::kHourglass);
    EXPECT_EQ(host.pointers.back(), pointer::kDefault);

    // The user's printer is back and the key keeps the last file's values.
    EXPECT_EQ(printers.setCalls, (std::vector<std::string> { kPdfPrinter, kUserPrinter }));
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_EQ(portable(registryValue("OutputFile")), "/data/-four.pdf");
    EXPECT_EQ(registryValue("BypassSaveAs"), "1");

    ASSERT_EQ(host.boxes.shown.size(), 1u);
    const Message& done = host.boxes.shown[0];
    EXPECT_EQ(done.text, "Done.");
    EXPECT_FALSE(done.title.has_value());
    EXPECT_EQ(done.icon, MessageIcon::None);
    EXPECT_EQ(done.buttons, MessageButtons::Ok);
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunTest, TargetFollowsTheOutputOptionReadForEveryFile)
{
    const std::string folder = makeFolder("/out");
    struct Case
    {
        bool option1;
        bool option2;
        std::string text1;
        std::string source;
        std::string target;
    };
    const Case cases[] = {
        { true, false, folder + "/", "/in/a.xml", folder + "/a.pdf" },
        { true, false, folder, "/in/a.xml", folder + "/a.pdf" },
        { false, true, folder, "/in/sub/a.xml", "/in/sub/a.pdf" },
        { false, true, "", "/in/README", "/in/README.pdf" },
        { false, true, "", "/in/report.final.xml", "/in/report.final.pdf" },
        { false, true, "", "/in/.xml", "/in/.xml.pdf" },
        { false, true, "", "/in.d/notes", "/in.d/notes.pdf" },
        // Neither option: the PDF goes beside its source, and Text1 need not be a folder.
        { false, false, "", "/in/a.xml", "/in/a.pdf" },
        { false, false, "/no/such/folder", "/in/b.xml", "/in/b.pdf" },
    };
    for (const Case& c : cases) {
        prints.clear();
        host.boxes.shown.clear();
        host.option1 = c.option1;
        host.option2 = c.option2;
        host.folder = native(c.text1);
        list({ c.source });
        press();
        EXPECT_EQ(printedTargets(), std::vector<std::string> { c.target }) << c.source << " with Text1 " << c.text1;
        EXPECT_EQ(shown(), std::vector<std::string> { "Done." }) << c.source;
    }

    // Text1 changed during the run takes effect for the next file.
    const std::string other = makeFolder("/other");
    prints.clear();
    host.option1 = true;
    host.option2 = false;
    host.folder = native(folder);
    list({ "/in/a.xml", "/in/b.xml" });
    onPrint = [&](const Print&) {
        host.folder = native(other);
        return 0;
    };
    press();
    EXPECT_EQ(printedTargets(), (std::vector<std::string> { folder + "/a.pdf", other + "/b.pdf" }));
}

TEST_F(ConversionRunTest, SameBaseNameInOneRunGetsANumberedTargetInsteadOfOverwriting)
{
    const std::string folder = makeFolder("/out") + "/";
    host.option1 = true;
    host.option2 = false;
    host.folder = native(folder);
    list({ "/a/x.xml", "/b/x.xml", "/c/x.txt", "/a/x.xml", "/d/x (2).xml" });

    press();

    EXPECT_EQ(printedTargets(),
        (std::vector<std::string> { folder + "x.pdf", folder + "x (2).pdf", folder + "x (3).pdf", folder + "x.pdf",
            folder + "x (2) (2).pdf" }));
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });

    // A new run starts afresh: the PDF of an earlier run is replaced.
    prints.clear();
    list({ "/b/x.xml" });
    press();
    EXPECT_EQ(printedTargets(), std::vector<std::string> { folder + "x.pdf" });
}

TEST_F(ConversionRunTest, TargetThatIsAListedFileIsNeverPrintedTo)
{
    list({ "/d/report.pdf", "/d/a.xml", "/d/a.pdf", "/d/b.xml" });

    press();

    EXPECT_EQ(printedSources(), std::vector<std::string> { "/d/b.xml" });
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n3 of 4 files could not be converted:\r\n"
                                   "/d/report.pdf\r\n/d/a.xml\r\n/d/a.pdf" });

    // Under Option1 a listed PDF in the output folder is just as safe.
    const std::string out = makeFolder("/out");
    prints.clear();
    host.boxes.shown.clear();
    host.option1 = true;
    host.option2 = false;
    host.folder = native(out);
    list({ "/in/x.xml", out + "/x.pdf" });
    press();
    EXPECT_TRUE(prints.empty());
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n2 of 2 files could not be converted:\r\n"
                                   "/in/x.xml\r\n"
            + out + "/x.pdf" });
}

TEST_F(ConversionRunTest, TargetThatIsAListedFileUnderAnotherNameIsNeverPrintedTo)
{
    const std::string in = "/in";
    makeFolder("/in/sub");
    std::ofstream(native("/in/a.pdf")) << "a listed PDF";
    host.option1 = true;
    host.option2 = false;
    for (const std::string& folder : { in + "/./", in + "/sub/../", in + "//" }) {
        prints.clear();
        host.boxes.shown.clear();
        host.folder = native(folder);
        list({ in + "/a.pdf", "/elsewhere/b.xml" });
        press();
        EXPECT_EQ(printedSources(), std::vector<std::string> { "/elsewhere/b.xml" }) << folder;
        EXPECT_EQ(shown(),
            std::vector<std::string> { "Done.\r\n\r\n1 of 2 files could not be converted:\r\n" + in + "/a.pdf" })
            << folder;
    }
}

TEST_F(ConversionRunTest, FinalMessageCountsAndNamesTheFilesThatFailed)
{
    list({ "/d/1.xml", "/d/2.xml", "/d/3.xml", "/d/4.xml" });
    onPrint = [](const Print& print) -> std::int32_t {
        if (print.source == "/d/2.xml")
            return 1;
        if (print.source == "/d/3.xml")
            return kObjectErrorBase + err::kFileNotFound; // could not be started
        return 0;
    };
    press();
    EXPECT_EQ(prints.size(), 4u);
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n2 of 4 files could not be converted:\r\n/d/2.xml\r\n/d/3.xml" });

    // One file alone, and more failures than the message names.
    host.boxes.shown.clear();
    list({ "/d/2.xml" });
    press();
    EXPECT_EQ(shown(), std::vector<std::string> { "Done.\r\n\r\n1 of 1 file could not be converted:\r\n/d/2.xml" });

    host.boxes.shown.clear();
    host.entries.clear();
    std::string expected = "Done.\r\n\r\n25 of 25 files could not be converted:";
    for (int i = 1; i <= 25; ++i) {
        host.entries.push_back(native("/e/" + std::to_string(i) + ".xml"));
        if (i <= 20)
            expected += "\r\n/e/" + std::to_string(i) + ".xml";
    }
    expected += "\r\nand 5 more";
    onPrint = [](const Print&) { return 2; };
    press();
    EXPECT_EQ(shown(), std::vector<std::string> { expected });
}

TEST_F(ConversionRunTest, LauncherFailureIsReportedAndTheRunGoesOn)
{
    list({ "/d/1.xml", "/d/2.xml" });
    onPrint = [](const Print& print) -> std::int32_t {
        if (print.source == "/d/1.xml")
            throw RuntimeError(err::kPermissionDenied);
        return 0;
    };
    press();

    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    ASSERT_EQ(host.boxes.shown.size(), 2u);
    EXPECT_EQ(host.boxes.shown[0].title, "Application Error");
    EXPECT_NE(
        host.boxes.shown[0].text.find("Orvantis2021/08/31.Form1.PushButton2_Click at line 160"), std::string::npos)
        << host.boxes.shown[0].text;
    EXPECT_EQ(portable(host.boxes.shown[1].text), "Done.\r\n\r\n1 of 2 files could not be converted:\r\n/d/1.xml");
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunTest, FileWhoseRegistryValuesCannotBeWrittenIsNotPrinted)
{
    list({ "/d/1.xml", "/d/2.xml", "/d/3.xml" });
    // The second file's values cannot be written: printing it would overwrite the first file's PDF.
    onPrint = [&](const Print& print) {
        registry.failWrites = print.source == "/d/1.xml";
        return 0;
    };
    press();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml" }));
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n2 of 3 files could not be converted:\r\n"
                                   "/d/2.xml\r\n/d/3.xml" });
    EXPECT_EQ(printers.defaultName, kUserPrinter);
}

TEST_F(ConversionRunTest, EntryThatCannotBeReadCountsAsFailed)
{
    list({ "/d/1.xml", "/d/2.xml", "/d/3.xml" });
    host.unreadable = { 2 };
    press();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/3.xml" }));
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n1 of 3 files could not be converted:\r\n"
                                   "(list entry 2 could not be read)" });
}

TEST_F(ConversionRunTest, PdfPrinterThatCannotBeMadeDefaultConvertsNothing)
{
    printers.printers = { kUserPrinter, "quillmark pdf writer" };
    list({ "/d/1.xml", "/d/2.xml" });

    press();

    EXPECT_TRUE(prints.empty());
    EXPECT_EQ(registryValue("OutputFile"), "(none)");
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    ASSERT_EQ(host.boxes.shown.size(), 1u);
    const std::string& text = host.boxes.shown[0].text;
    EXPECT_EQ(text,
        "Quillmark PDF Writer is not installed or could not be made the default printer. "
        "No file was converted.");
    EXPECT_EQ(host.progressValues, std::vector<double> { 0 });
    EXPECT_EQ(host.progressTexts, std::vector<std::string> { "Progress Bar" });
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunTest, WithoutAWordPadEveryFileFailsAndTheClosingMessageSaysWhyOnce)
{
    // The key is missing on systems without WordPad; an empty default value reads the same.
    for (const bool keyMissing : { true, false }) {
        FakeRegistry bare;
        if (!keyMissing)
            bare.writeStrings(RegistryHive::ClassesRoot, kWordPadKey, { { "", "" } });
        ConversionRun withoutWordPad { ConversionServices { bare, printers, recordingLauncher(), runLock.taker() } };
        host.boxes.shown.clear();
        list({ "/d/1.xml", "/d/2.xml" });

        withoutWordPad.run(host);

        EXPECT_TRUE(prints.empty()) << "nothing is started";
        EXPECT_EQ(printers.setCalls, (std::vector<std::string> { kPdfPrinter, kUserPrinter }));
        EXPECT_EQ(printers.defaultName, kUserPrinter);
        EXPECT_EQ(host.shownTexts(),
            std::vector<std::string> {
                "Done.\r\n\r\nWordPad was not found on this computer, so none of the 2 files could be converted." })
            << keyMissing;
        printers.setCalls.clear();
    }
}

TEST_F(ConversionRunTest, EachRunPutsBackTheDefaultPrinterItFoundInTheSystem)
{
    printers.printers.push_back("Home Inkjet");
    list({ "/d/1.xml" });
    press();
    EXPECT_EQ(printers.defaultName, kUserPrinter);

    // The user chose another default between runs: the second run restores that one.
    printers.defaultName = "Home Inkjet";
    press();
    EXPECT_EQ(printers.defaultName, "Home Inkjet");
    EXPECT_EQ(printers.setCalls, (std::vector<std::string> { kPdfPrinter, kUserPrinter, kPdfPrinter, "Home Inkjet" }));

    // With no default printer at all the reader reports it and the run still converts.
    printers.defaultName.clear();
    host.boxes.shown.clear();
    prints.clear();
    press();
    EXPECT_EQ(prints.size(), 1u);
    ASSERT_EQ(host.boxes.shown.size(), 2u);
    EXPECT_EQ(host.boxes.shown.back().text, "Done.");
}

TEST_F(ConversionRunTest, StopRequestEndsTheRunAndPutsThePrinterBack)
{
    list({ "/d/1.xml", "/d/2.xml", "/d/3.xml" });
    // The window is closed while the second file prints; the launcher has ended the child.
    onPrint = [&](const Print& print) -> std::int32_t {
        if (print.source == "/d/2.xml") {
            host.scriptedYielder.stop = true;
            return 143;
        }
        return 0;
    };
    press();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_TRUE(host.boxes.shown.empty());
    EXPECT_FALSE(run.IsConverting());

    // Closed at the yield before a file's print: nothing more is printed, the printer still goes back.
    prints.clear();
    onPrint = nullptr;
    host.scriptedYielder.stop = false;
    int yields = 0;
    host.scriptedYielder.onYield = [&] {
        if (++yields == 2)
            host.scriptedYielder.stop = true;
    };
    press();
    EXPECT_TRUE(prints.empty());
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_EQ(printers.setCalls.back(), kUserPrinter);
    EXPECT_TRUE(host.boxes.shown.empty());

    // Closed at the first yield, before the printer was saved: the printer is never touched.
    printers.setCalls.clear();
    host.scriptedYielder.stop = false;
    yields = 0;
    host.scriptedYielder.onYield = [&] { host.scriptedYielder.stop = true; };
    press();
    EXPECT_TRUE(printers.setCalls.empty());
    EXPECT_TRUE(host.boxes.shown.empty());
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunTest, UserPrinterThatCannotBeMadeDefaultAgainIsNamedBeforeTheFinalMessage)
{
    list({ "/d/1.xml", "/d/2.xml" });
    // The user's printer goes away during the run.
    onPrint = [&](const Print&) -> std::int32_t {
        printers.printers = { kPdfPrinter };
        return 0;
    };
    press();
    EXPECT_EQ(printers.defaultName, kPdfPrinter);
    EXPECT_EQ(shown(),
        (std::vector<std::string> { "\"Office Laser\" could not be made the default printer again. Quillmark PDF "
                                    "Writer is still the default printer; please set yours back by hand.",
            "Done." }));

    // No printer of the user's to put back: nothing to say about it.
    host.boxes.shown.clear();
    printers.printers = { kPdfPrinter };
    printers.defaultName.clear();
    press();
    const std::vector<std::string> texts = shown();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Done.");
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                  [](const std::string& text) { return text.find("set yours back") != std::string::npos; }),
        0);
}

TEST_F(ConversionRunTest, RunWaitsWithPausesWhileAnotherRunHoldsThePrinter)
{
    list({ "/d/1.xml", "/d/2.xml" });
    runLock.busyFor = 3;
    std::vector<std::string> textsWhenTaken;
    runLock.onAcquire = [&] {
        // Taken before the user's printer is read and the PDF printer set, after three pauses of the window.
        EXPECT_TRUE(printers.setCalls.empty());
        EXPECT_EQ(host.scriptedYielder.pauses, 3);
        textsWhenTaken = host.progressTexts;
    };
    runLock.onRelease = [&] {
        // Let go once the user's printer is back, before the final message waits for the user.
        EXPECT_EQ(printers.setCalls, (std::vector<std::string> { kPdfPrinter, kUserPrinter }));
        EXPECT_TRUE(host.boxes.shown.empty());
    };
    press();
    EXPECT_EQ(textsWhenTaken, std::vector<std::string> { "Waiting for another conversion to finish" });
    EXPECT_EQ(host.scriptedYielder.paused, std::chrono::milliseconds(300));
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });
    EXPECT_FALSE(runLock.held);

    // A free lock: no waiting and no waiting text.
    host.progressTexts.clear();
    host.scriptedYielder.pauses = 0;
    textsWhenTaken.clear();
    runLock.onAcquire = [&] { EXPECT_EQ(host.scriptedYielder.pauses, 0); };
    runLock.onRelease = nullptr;
    press();
    EXPECT_EQ(
        std::count(host.progressTexts.begin(), host.progressTexts.end(), "Waiting for another conversion to finish"),
        0);
    EXPECT_EQ(prints.size(), 4u);
}

TEST_F(ConversionRunTest, WindowClosedWhileWaitingForThePrinterEndsTheRunUntouched)
{
    list({ "/d/1.xml", "/d/2.xml" });
    runLock.busyFor = 1000000; // the other run never ends
    host.scriptedYielder.onYield = [&] {
        if (host.scriptedYielder.pauses == 5)
            host.scriptedYielder.stop = true;
    };
    press();
    EXPECT_EQ(host.scriptedYielder.pauses, 5);
    EXPECT_TRUE(prints.empty());
    EXPECT_TRUE(printers.setCalls.empty());
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_TRUE(host.boxes.shown.empty());
    EXPECT_EQ(host.progressTexts.back(), "Progress Bar");
    EXPECT_FALSE(runLock.held);
    EXPECT_FALSE(run.IsConverting());

    // The other run ended: the next press converts.
    host.scriptedYielder.onYield = nullptr;
    host.scriptedYielder.stop = false;
    runLock.busyFor = 0;
    press();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });
}

TEST_F(ConversionRunTest, SecondPressDuringARunDoesNothing)
{
    list({ "/d/1.xml", "/d/2.xml" });
    int nestedPresses = 0;
    host.scriptedYielder.onYield = [&] {
        ++nestedPresses;
        press();
    };
    onPrint = [&](const Print&) {
        press();
        return 0;
    };

    press();

    EXPECT_GT(nestedPresses, 0);
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    EXPECT_EQ(printers.setCalls, (std::vector<std::string> { kPdfPrinter, kUserPrinter }));
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });

    // Once it has ended, the button works again.
    host.scriptedYielder.onYield = nullptr;
    onPrint = nullptr;
    press();
    EXPECT_EQ(prints.size(), 4u);
}

TEST_F(ConversionRunTest, EmptyListOrMissingFolderLeavesEverythingAlone)
{
    press();
    EXPECT_EQ(shown(), std::vector<std::string> { "No files added." });
    ASSERT_EQ(host.boxes.shown.size(), 1u);
    EXPECT_FALSE(host.boxes.shown[0].title.has_value());
    EXPECT_EQ(host.boxes.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(host.boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(run.IsConverting());

    TempDir temp;
    const std::string aFile = temp.str() + "/file.txt";
    {
        std::ofstream(aFile) << "x";
    }
    list({ "/d/1.xml" });
    host.option1 = true;
    host.option2 = false;
    for (const std::string& folder : { std::string(), temp.str() + "/missing", aFile }) {
        host.boxes.shown.clear();
        host.folder = folder;
        press();
        EXPECT_EQ(shown(), std::vector<std::string> { "Folder does not exist. Please select another folder." })
            << folder;
        EXPECT_FALSE(run.IsConverting());
    }
    EXPECT_TRUE(prints.empty());
    EXPECT_TRUE(printers.setCalls.empty());
    EXPECT_EQ(host.scriptedYielder.yields, 0);
    EXPECT_TRUE(host.pointers.empty());

    // Option2 does not look at Text1.
    host.boxes.shown.clear();
    host.option1 = false;
    host.option2 = true;
    press();
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });

    // With both selected (a restored setting can leave them so) Option2 still spares the folder test, though the
    // PDF, meant for Text1's folder, cannot be written.
    host.boxes.shown.clear();
    host.option1 = true;
    pressWithoutWaiting();
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n1 of 1 file could not be converted:\r\n"
                                   "/d/1.xml: the PDF printer wrote no file" });
}

TEST_F(ConversionRunTest, EntriesAddedDuringTheRunAreNotConvertedButEnlargeTheDivisor)
{
    list({ "/d/1.xml", "/d/2.xml" });
    onPrint = [&](const Print& print) {
        if (print.source == "/d/1.xml")
            host.entries.push_back(native("/d/late.xml"));
        return 0;
    };
    press();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml" }));
    ASSERT_EQ(host.progressValues.size(), 3u);
    EXPECT_DOUBLE_EQ(host.progressValues[0], 50.0);
    EXPECT_DOUBLE_EQ(host.progressValues[1], 2.0 / 3.0 * 100.0);
    EXPECT_DOUBLE_EQ(host.progressValues[2], 0.0);
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });
}

TEST_F(ConversionRunTest, WordPadThatEndsWellWithoutAPdfFailsItsFileWithTheReason)
{
    // The first file's PDF is there from an earlier run and left alone: only a new PDF counts.
    list({ "/d/1.xml", "/d/2.xml", "/d/3.xml" });
    std::ofstream(native("/d/1.pdf")) << "an earlier PDF";
    writesNothing = { "/d/1.xml", "/d/3.xml" };
    pressWithoutWaiting();
    EXPECT_EQ(printedSources(), (std::vector<std::string> { "/d/1.xml", "/d/2.xml", "/d/3.xml" }));
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n2 of 3 files could not be converted:\r\n"
                                   "/d/1.xml: the PDF printer wrote no file\r\n"
                                   "/d/3.xml: the PDF printer wrote no file" });
    EXPECT_EQ(printers.defaultName, kUserPrinter);

    // Three in a row without a PDF: the rest are not printed, but named. A PDF in between starts the count again.
    prints.clear();
    host.boxes.shown.clear();
    list({ "/e/1.xml", "/e/2.xml", "/e/3.xml", "/e/4.xml", "/e/5.xml", "/e/6.xml", "/e/7.xml" });
    writesNothing = { "/e/1.xml", "/e/2.xml", "/e/4.xml", "/e/5.xml", "/e/6.xml", "/e/7.xml" };
    pressWithoutWaiting();
    EXPECT_EQ(printedSources(),
        (std::vector<std::string> { "/e/1.xml", "/e/2.xml", "/e/3.xml", "/e/4.xml", "/e/5.xml", "/e/6.xml" }));
    const std::string notTried = ": not tried, as the PDF printer wrote no file for three files in a row";
    EXPECT_EQ(shown(),
        std::vector<std::string> { "Done.\r\n\r\n6 of 7 files could not be converted:\r\n"
                                   "/e/1.xml: the PDF printer wrote no file\r\n"
                                   "/e/2.xml: the PDF printer wrote no file\r\n"
                                   "/e/4.xml: the PDF printer wrote no file\r\n"
                                   "/e/5.xml: the PDF printer wrote no file\r\n"
                                   "/e/6.xml: the PDF printer wrote no file\r\n"
                                   "/e/7.xml"
            + notTried });
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_FALSE(run.IsConverting());
}

TEST_F(ConversionRunTest, NextFileWaitsForAPdfThatComesAfterTheWordPadEnded)
{
    // The print is still spooling when the word pad ends: the PDF appears, stays open for writing a few passes,
    // then is closed. Each step happens at a pass of the run's wait, never at a time.
    list({ "/d/1.xml", "/d/2.xml" });
    makeFolder("/d");
    writesNothing = { "/d/1.xml" };
    int passes = 0;
    std::optional<std::ofstream> spooler;
    std::optional<bool> firstPdfWholeAtSecondValues;
    host.scriptedYielder.onYield = [&] {
        if (prints.size() != 1)
            return;
        if (portable(registryValue("OutputFile")) == "/d/2.pdf") {
            if (!firstPdfWholeAtSecondValues)
                firstPdfWholeAtSecondValues = pdfExists("/d/1.pdf") && !spooler;
            return;
        }
        ++passes;
        if (passes == 2)
            spooler.emplace(native("/d/1.pdf"), std::ios::binary) << "%PDF-1.7 half";
        if (passes == 6)
            spooler.reset();
    };
    press();

    EXPECT_EQ(firstPdfWholeAtSecondValues, true) << "the second file's values came after the first PDF was closed";
    EXPECT_GE(passes, 6) << "a PDF still open for writing does not count";
    EXPECT_EQ(printedTargets(), (std::vector<std::string> { "/d/1.pdf", "/d/2.pdf" }));
    EXPECT_EQ(shown(), std::vector<std::string> { "Done." });
}

TEST_F(ConversionRunTest, WindowClosedWhileWaitingForAPdfStopsTheRun)
{
    list({ "/d/1.xml", "/d/2.xml" });
    writesNothing = { "/d/1.xml" };
    // Closed at the first pass of the wait, after the word pad ended.
    host.scriptedYielder.onYield = [&] {
        if (!prints.empty())
            host.scriptedYielder.stop = true;
    };
    press();
    EXPECT_EQ(printedSources(), std::vector<std::string> { "/d/1.xml" });
    EXPECT_EQ(printers.defaultName, kUserPrinter);
    EXPECT_TRUE(host.boxes.shown.empty());
    EXPECT_FALSE(run.IsConverting());
}

} // namespace
