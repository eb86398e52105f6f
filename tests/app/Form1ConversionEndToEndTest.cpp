#include "app/Form1.h"
#include "app/ProgressBar1.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "platform/WordPad.h"
#include "tests/app/Form1Harness.h"
#include "tests/platform/FreshConfigHome.h"
#include "tests/support/FifoGate.h"
#include "text/CommandLine.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <utility>

using namespace papyrant;
using namespace papyrant::test;
namespace fs = std::filesystem;

namespace {

fs::path binDir()
{
    return std::getenv("PAPYRANT_BIN_DIR");
}

std::string pdfText(const fs::path& pdf)
{
    const fs::path text = pdf.string() + ".txt";
    ScriptedYielder yielder;
    if (ShellAndWait(
            "pdftotext " + QuoteArgument(pdf.string()) + " " + QuoteArgument(text.string()), std::nullopt, yielder)
        != 0)
        return "<pdftotext failed>";
    std::ifstream in(text);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Forwards to the window's yielder and, at its first yield, runs an action once: the first pass of a wait.
class AtFirstPass : public Yielder
{
public:
    AtFirstPass(Yielder& inner, std::function<void()> action)
        : m_inner(inner)
        , m_action(std::move(action))
    {
    }
    void yield() override
    {
        m_inner.yield();
        if (m_action)
            std::exchange(m_action, nullptr)();
    }
    void pause(std::chrono::milliseconds duration) override
    {
        m_inner.pause(duration);
    }
    bool stopRequested() const override
    {
        return m_inner.stopRequested();
    }

private:
    Yielder& m_inner;
    std::function<void()> m_action;
};

// The real window over the real stand-ins: the registry database, the printer table, ShellAndWait and padprint.
class Form1EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ScriptedYielder yielder;
        ASSERT_EQ(
            ShellAndWait(QuoteArgument((binDir() / "papyrant-platform").string()) + " setup", std::nullopt, yielder),
            0);
        ASSERT_EQ(
            ShellAndWait(QuoteArgument((binDir() / "papyrant-platform").string()) + " add-printer \"Office Laser\"",
                std::nullopt, yielder),
            0);
        registry = openUserRegistry();
        printers = openPrinterSystem();
        ASSERT_TRUE(printers->setDefaultPrinter("Office Laser"));
        ::setenv("HOME", files.str().c_str(), 1);
        openWindow(kPdfWaitLimit);
    }

    void openWindow(std::chrono::milliseconds pdfWaitLimit)
    {
        form.reset();
        form = std::make_unique<Form1>(Form1Services { messages, picker, fileOpen, shell, *registry, *printers,
            [this](const std::string& commandLine, std::optional<int> style, Yielder& runYielder) {
                return launch(commandLine, style, runYielder);
            },
            tryAcquireRunLock, binDir().string(), pdfWaitLimit });
        form->Form_Load();
        form->show();
    }

    // Registers a shell script as the word pad; PADPRINT in it stands for the real one's quoted path.
    void useWordPad(std::string script)
    {
        const std::string padprint = QuoteArgument((binDir() / "padprint").string());
        for (std::size_t at = script.find("PADPRINT"); at != std::string::npos; at = script.find("PADPRINT", at))
            script.replace(at, 8, padprint);
        const fs::path path = files.path() / "wordpad.sh";
        std::ofstream(path) << "#!/bin/sh\n" << script;
        fs::permissions(path, fs::perms::owner_all);
        ASSERT_TRUE(registry->writeStrings(
            RegistryHive::ClassesRoot, kWordPadServerKey, { { "", QuoteArgument(path.string()) } }));
    }

    fs::path pdfOf(const fs::path& source) const
    {
        return source.parent_path() / (source.stem().string() + ".pdf");
    }

    fs::path source(const std::string& name, const std::string& text)
    {
        const fs::path path = files.path() / "in" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << "<?xml version=\"1.0\"?>\n<note>" << text << "</note>\n";
        form->fileList().add(path.string());
        return path;
    }

    std::string outputFile()
    {
        return registry->readString(RegistryHive::CurrentUser, "Software\\Quillmark PDF Writer", "OutputFile")
            .value_or("<none>");
    }

    FreshConfigHome config;
    TempDir files;
    ScriptedMessageBoxes messages;
    ScriptedFolderPicker picker;
    ScriptedFileOpen fileOpen;
    RecordingShell shell;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<PrinterSystem> printers;
    std::unique_ptr<Form1> form;
    Launcher launch = ShellAndWait;
};

} // namespace

TEST_F(Form1EndToEnd, StartConvertingMakesAPdfOfEveryListedFile)
{
    // One name is not UTF-8; one file holds scripts from several faces and one that no face draws (a placeholder
    // on the page, its text kept).
    const std::vector<std::pair<std::string, std::string>> awkward = {
        { "with space.xml", "alpha text" },
        { "quote\"d.xml", "bravo text" },
        { "back\\slash.xml", "charlie text" },
        { "Grüße 日本.xml", "delta Grüße" },
        { "caf\xE9 latin1.xml", "foxtrot text" },
        { "scripts.xml", "서울 नमस्ते สวัสดี 😀 𗀀" },
        { "-dash.xml", "echo text" },
    };
    std::vector<fs::path> sources;
    for (const auto& [name, text] : awkward)
        sources.push_back(source(name, text));

    form->Option2->setChecked(true);
    QTest::mouseClick(form->PushButton2, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done.");
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const fs::path pdf = sources[i].parent_path() / (sources[i].stem().string() + ".pdf");
        std::istringstream words(awkward[i].second);
        for (std::string word; words >> word;)
            EXPECT_NE(pdfText(pdf).find(word), std::string::npos) << pdf << ": " << word;
    }
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
    EXPECT_EQ(outputFile(), (files.path() / "in" / "-dash.pdf").string());
    EXPECT_EQ(form->ProgressBar1_->text(), QStringLiteral("Progress Bar"));
    EXPECT_EQ(form->MousePointer(), 0);
    EXPECT_EQ(form->fileList().count(), sources.size()) << "the run leaves the list as it was";

    const fs::path out = files.path() / "out";
    fs::create_directories(out);
    form->Option1->setChecked(true);
    form->Text1->setText(QString::fromStdString(out.string()));
    QTest::mouseClick(form->PushButton2, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Done.");
    EXPECT_NE(pdfText(out / "quote\"d.pdf").find("bravo text"), std::string::npos);
    EXPECT_EQ(outputFile(), (out / "-dash.pdf").string());
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
}

TEST_F(Form1EndToEnd, ClosingTheWindowMidRunStopsThePrintAndPutsThePrinterBack)
{
    // The word pad waits at a gate that never opens: its print is going, for sure, when the window closes.
    const FifoGate gate(files.path() / "gate");
    useWordPad("read go < " + QuoteArgument(gate.path().string()) + "\nexec PADPRINT \"$@\"\n");
    source("first.xml", "never printed either");
    source("after.xml", "never printed");
    form->Option2->setChecked(true);

    // The window closes at the first pass of the word pad's wait, with the PDF printer the default.
    int printsStarted = 0;
    std::string defaultDuringPrint;
    launch = [&](const std::string& commandLine, std::optional<int> style, Yielder& yielder) {
        ++printsStarted;
        defaultDuringPrint = printers->defaultPrinter();
        AtFirstPass closing(yielder, [this] { form->close(); });
        return ShellAndWait(commandLine, style, closing);
    };
    form->PushButton2_Click();

    EXPECT_EQ(printsStarted, 1) << "closed during the first print, which was the last";
    EXPECT_EQ(defaultDuringPrint, "Quillmark PDF Writer");

    EXPECT_TRUE(form->stopRequested());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.shown.empty()) << "no message once the window is gone";
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
    for (const auto& entry : fs::directory_iterator(files.path() / "in"))
        EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
}

TEST_F(Form1EndToEnd, ASecondPressDuringARunDoesNothing)
{
    source("one.xml", "first");
    source("two.xml", "second");
    form->Option2->setChecked(true);
    // Pressed again at the first pass of the first word pad's wait.
    int pressesDuringRun = 0;
    launch = [&](const std::string& commandLine, std::optional<int> style, Yielder& yielder) {
        AtFirstPass pressing(yielder, [&] {
            ++pressesDuringRun;
            form->PushButton2_Click();
            form->PushButton6_Click(); // Clear List is refused while the hourglass shows
        });
        return ShellAndWait(commandLine, style, pressing);
    };
    form->PushButton2_Click();
    EXPECT_EQ(pressesDuringRun, 2) << "once in each file's wait";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done.");
    EXPECT_EQ(form->fileList().count(), 2u);
}

TEST_F(Form1EndToEnd, WordPadThatEndsWellWithoutAPdfIsNamedInTheFinalMessage)
{
    // The word pad's save dialog was cancelled: it exits 0 and writes nothing.
    useWordPad("case \"$2\" in *cancelled*) exit 0 ;; esac\nexec PADPRINT \"$@\"\n");
    openWindow(std::chrono::milliseconds(0));
    const fs::path cancelled = source("cancelled.xml", "not printed");
    const fs::path printed = source("printed.xml", "printed");
    form->Option2->setChecked(true);
    form->PushButton2_Click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
        "Done.\r\n\r\n1 of 2 files could not be converted:\r\n" + cancelled.string()
            + ": the PDF printer wrote no file");
    EXPECT_FALSE(fs::exists(pdfOf(cancelled)));
    EXPECT_NE(pdfText(pdfOf(printed)).find("printed"), std::string::npos);
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
}

TEST_F(Form1EndToEnd, PdfWrittenAfterTheWordPadEndedCountsAndTheNextFileWaitsForIt)
{
    // The word pad hands the print to a child and exits 0 at once; the child prints when the test opens its gate,
    // which it does once the word pad has ended.
    const FifoGate gate(files.path() / "gate");
    useWordPad("case \"$2\" in *spooled*)\n"
               "  (read go < "
        + QuoteArgument(gate.path().string())
        + "; exec PADPRINT \"$@\") </dev/null >/dev/null 2>&1 &\n"
          "  exit 0 ;;\n"
          "esac\n"
          "exec PADPRINT \"$@\"\n");
    const fs::path spooled = source("spooled.xml", "spooled words");
    const fs::path next = source("next.xml", "next words");
    form->Option2->setChecked(true);

    std::vector<std::string> outputFileAtStart;
    bool spooledPdfBeforeNextPrint = false;
    launch = [&](const std::string& commandLine, std::optional<int> style, Yielder& yielder) {
        outputFileAtStart.push_back(outputFile());
        if (outputFileAtStart.size() == 2)
            spooledPdfBeforeNextPrint = fs::exists(pdfOf(spooled));
        const std::int32_t exitCode = ShellAndWait(commandLine, style, yielder);
        if (outputFileAtStart.size() == 1)
            gate.open();
        return exitCode;
    };
    form->PushButton2_Click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done.");
    EXPECT_TRUE(spooledPdfBeforeNextPrint) << "the next file's values were written before the PDF appeared";
    EXPECT_EQ(outputFileAtStart, (std::vector<std::string> { pdfOf(spooled).string(), pdfOf(next).string() }));
    EXPECT_NE(pdfText(pdfOf(spooled)).find("spooled words"), std::string::npos);
    EXPECT_NE(pdfText(pdfOf(next)).find("next words"), std::string::npos);
    EXPECT_EQ(pdfText(pdfOf(next)).find("spooled"), std::string::npos);
}
