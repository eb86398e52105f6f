// The second yardstick of the start-up benchmark: the main window's controls, face and skin, and nothing of
// the program: no settings, no printer list, no threads started early. What it takes to show over the bare
// window is what the toolkit asks of any window made of these controls; what the program takes over it is
// its own work.
//   controls-window [STYLE-SHEET]
#include "app/Twips.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("Form1"));
    window.setWindowTitle(QStringLiteral("Controls window"));
    QFont face(QStringLiteral("Arial"));
    face.setPointSizeF(9);
    face.setBold(true);
    window.setFont(face);
    // The main window's places, in twips, as it lays itself out.
    const double dpi = window.logicalDpiY() > 0 ? window.logicalDpiY() : 96.0;
    const auto twips = [dpi](int left, int top, int width, int height) {
        return papyrant::twipsRect(left, top, width, height, dpi);
    };
    window.setFixedSize(papyrant::twipsToPixels(8040, dpi), papyrant::twipsToPixels(6705, dpi));

    auto* list = new QTreeView(&window);
    auto* files = new QStandardItemModel(0, 1, &window);
    files->setHorizontalHeaderLabels({ QStringLiteral("XML File(s)") });
    list->setModel(files);
    list->setGeometry(twips(120, 120, 7800, 2540));

    QFont buttonFace = face;
    buttonFace.setPointSizeF(11.25);
    const auto button = [&](const char* caption, QWidget* parent, QRect place) {
        auto* made = new QPushButton(QString::fromLatin1(caption), parent);
        made->setFont(buttonFace);
        made->setGeometry(place);
    };
    button("Add XML File(s)", &window, twips(120, 2750, 3660, 405));
    button("Add All XML File(s) In Folder", &window, twips(3900, 2750, 4020, 405));
    button("Clear List", &window, twips(120, 3260, 3660, 405));
    button("Load Sample/Example Files", &window, twips(3900, 3260, 4020, 405));
    button("Start Converting", &window, twips(120, 5660, 7800, 405));

    auto* options = new QGroupBox(QStringLiteral("Save Option"), &window);
    options->setGeometry(twips(120, 3720, 7800, 1815));
    auto* toFolder = new QRadioButton(QStringLiteral("Save results to this folder:"), options);
    toFolder->setGeometry(twips(240, 300, 4200, 255));
    toFolder->setChecked(true);
    auto* folderFrame = new QGroupBox(options);
    folderFrame->setGeometry(twips(480, 510, 6840, 810));
    auto* folder = new QLineEdit(folderFrame);
    folder->setGeometry(twips(240, 300, 5670, 345));
    folder->setText(QStringLiteral("/home/user/Desktop/"));
    button("...", folderFrame, twips(6000, 300, 600, 345));
    auto* besideSource = new QRadioButton(QStringLiteral("Save results in folder of original file"), options);
    besideSource->setGeometry(twips(240, 1410, 4200, 255));
    auto* progress = new QProgressBar(&window);
    progress->setGeometry(twips(120, 6180, 7800, 405));

    if (argc > 1) {
        QFile skin(QString::fromLocal8Bit(argv[1]));
        if (skin.open(QIODevice::ReadOnly))
            window.setStyleSheet(QString::fromUtf8(skin.readAll()));
    }
    window.show();
    return QApplication::exec();
}
