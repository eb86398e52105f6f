#include "app/Form1.h"
#include "app/ProgressBar1.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"
#include "tests/app/Form1Harness.h"
#include "tests/platform/FreshConfigHome.h"
#include "text/CommandLine.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

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
        form = std::make_unique<Form1>(Form1Services { messages, picker, fileOpen, shell, *registry, *printers,
            [this](const std::string& commandLine, std::optional<int> style, Yielder& runYielder) {
                return launch(commandLine, style, runYielder);
            },
            tryAcquireRunLock, binDir().string() });
        form->Form_Load();
        form->show();
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
    // Large enough that its print (about 50 MB/s) is still going, ten times over, when the window closes.
    const fs::path big = files.path() / "in" / "big.xml";
    fs::create_directories(big.parent_path());
    {
        std::ofstream out(big);
        for (int i = 0; i < 1000000; ++i)
            out << "<line n=\"" << i << "\">some text to print on many pages</line>\n";
    }
    form->fileList().add(big.string());
    source("after.xml", "never printed");
    form->Option2->setChecked(true);

    // The window closes while the first print is going, with the PDF printer the default.
    int printsStarted = 0;
    std::string defaultDuringPrint;
    launch = [&](const std::string& commandLine, std::optional<int> style, Yielder& yielder) {
        ++printsStarted;
        defaultDuringPrint = printers->defaultPrinter();
        QTimer::singleShot(100, form.get(), [this] { form->close(); });
        return ShellAndWait(commandLine, style, yielder);
    };
    form->PushButton2_Click();

    EXPECT_EQ(printsStarted, 1) << "closed during the first print, which was the last";
    EXPECT_EQ(defaultDuringPrint, "Quillmark PDF Writer");

    EXPECT_TRUE(form->stopRequested());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(messages.shown.empty()) << "no message once the window is gone";
    EXPECT_EQ(printers->defaultPrinter(), "Office Laser");
    EXPECT_FALSE(fs::exists(files.path() / "in" / "big.pdf")) << "the cut print leaves no PDF";
    EXPECT_FALSE(fs::exists(files.path() / "in" / "after.pdf"));
    for (const auto& entry : fs::directory_iterator(files.path() / "in"))
        EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
}

TEST_F(Form1EndToEnd, ASecondPressDuringARunDoesNothing)
{
    source("one.xml", "first");
    source("two.xml", "second");
    form->Option2->setChecked(true);
    int pressesDuringRun = 0;
    QTimer::singleShot(150, form.get(), [&] {
        ++pressesDuringRun;
        form->PushButton2_Click();
        form->PushButton6_Click(); // Clear List is refused while the hourglass shows
    });
    form->PushButton2_Click();
    EXPECT_EQ(pressesDuringRun, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Done.");
    EXPECT_EQ(form->fileList().count(), 2u);
}
