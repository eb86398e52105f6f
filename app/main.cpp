#include "app/Form1.h"
#include "app/QtDialogs.h"
#include "app/QtMessageBoxes.h"
#include "platform/FileSystem.h"
#include "platform/FontWarmUp.h"
#include "platform/Printers.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/RunLock.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Read while the application connects to the display; done before the first text is measured.
    std::unique_ptr<papyrant::FontWarmUp> fonts = papyrant::startFontWarmUp();
    QApplication application(argc, argv);
    fonts.reset();
    QApplication::setApplicationName(QStringLiteral("Papyrant"));
    QApplication::setQuitOnLastWindowClosed(false); // the window decides when the program ends

    using namespace papyrant;
    std::unique_ptr<Registry> registry = openUserRegistry();
    std::unique_ptr<PrinterSystem> printers = openPrinterSystem();
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
