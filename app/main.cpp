#include "app/Form1.h"
#include "app/QtDialogs.h"
#include "app/QtMessageBoxes.h"
#include "app/SessionBusWarmUp.h"
#include "platform/FileSystem.h"
#include "platform/FontWarmUp.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"

#include <QApplication>
#include <future>
#include <system_error>
#include <utility>

namespace {

using Stores = std::pair<std::unique_ptr<papyrant::Registry>, std::unique_ptr<papyrant::PrinterSystem>>;

// The settings and the printer list, files of their own that need no display: opened on a thread of their own
// while the application connects to the display, or here when no thread can be had.
std::future<Stores> startOpeningStores()
{
    const auto open = [] { return Stores(papyrant::openUserRegistry(), papyrant::openPrinterSystem()); };
    try {
        return std::async(std::launch::async, open);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, open);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Read while the application connects to the display; done before the first text is measured.
    std::unique_ptr<papyrant::FontWarmUp> fonts = papyrant::startFontWarmUp();
    std::future<Stores> opening = startOpeningStores();
    QApplication application(argc, argv);
    const std::unique_ptr<papyrant::SessionBusWarmUp> bus = papyrant::startSessionBusWarmUp();
    fonts.reset();
    QApplication::setApplicationName(QStringLiteral("Papyrant"));
    QApplication::setQuitOnLastWindowClosed(false); // the window decides when the program ends

    using namespace papyrant;
    auto [registry, printers] = opening.get();
    QtMessageBoxes messages;
    QtFolderPicker folderPicker;
    QtFileOpenDialog fileOpen;
    QtShellOpener shell;

    Form1 form(Form1Services { messages, folderPicker, fileOpen, shell, *registry, *printers, ShellAndWait,
        tryAcquireRunLock, programFolder() });
    messages.setOwner(&form);
    folderPicker = QtFolderPicker(&form);
    fileOpen = QtFileOpenDialog(&form);
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
