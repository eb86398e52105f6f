#include "app/Form1.h"

#include "app/ApplicationTitle.h"
#include "app/CursorHotSpot.h"
#include "app/IconFilePicture.h"
#include "app/ProgressBar1.h"
#include "app/Skin.h"
#include "app/Twips.h"
#include "conversion/PdfPrinter.h"
#include "filelist/gui/FileNameText.h"
#include "filelist/gui/ListView1.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MessageBoxes.h"
#include "runtime/MousePointer.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <iterator>

// The window's resources live in a static library, which Qt registers only when asked.
static void initialiseResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace papyrant {

namespace {

// A picture read by the one decoder for the reader's format. Left to itself, Qt's reader loads every image plugin
// (the SVG one with its library) to ask each whether it reads the picture, even when the format is named.
QImage readByFormat(QImageReader&& reader)
{
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// A picture read from a cursor or icon file, in a buffer of its own.
QImage imageOf(const IconPicture& picture)
{
    return QImage(reinterpret_cast<const uchar*>(picture.argb.data()), picture.width, picture.height, picture.width * 4,
        QImage::Format_ARGB32)
        .copy();
}

// A cursor file with its hot spot.
QCursor loadCursorFile(const std::string& path)
{
    QFile file(fileNameText(path));
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(err::kFileNotFound);
    const QByteArray bytes = file.readAll();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QPixmap picture;
    if (const std::optional<IconPicture> read = readIconPicture(view)) {
        picture = QPixmap::fromImage(imageOf(*read));
    } else {
        QBuffer buffer;
        buffer.setData(bytes);
        picture = QPixmap::fromImage(readByFormat(QImageReader(&buffer, "cur")));
        // A file that is not a cursor after all is read by whichever decoder knows it.
        if (picture.isNull() && (!picture.loadFromData(bytes) || picture.isNull()))
            throw RuntimeError(err::kInvalidPicture);
    }
    const HotSpot hotSpot = cursorHotSpot(view, picture.width(), picture.height());
    return QCursor(picture, hotSpot.x, hotSpot.y);
}

// The sizes the window's icon is handed over in. An X11 window is handed every size when it is made, pixel by pixel
// (as _NET_WM_ICON), and window managers show at most 64 px (title bar, task bar, window switcher); the 128 and
// 256 px pictures would be six sevenths of the pixels for nothing, and the desktop's launchers take the large
// sizes from the installed icon theme. Windows asks the icon for its small and large system sizes only, which grow
// with the display's scale (96 px at 300%): there the window keeps every size.
#ifdef Q_OS_WIN
constexpr int kWindowIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };
#else
constexpr int kWindowIconSizes[] = { 16, 24, 32, 48, 64 };
#endif

// The program's icon, drawn ahead of time at the sizes above, from the program's icon file: its bitmaps are read
// directly (given a file name, QIcon would load every icon and image plugin to find one that reads it), and the one
// picture the file keeps as PNG (256 px) by the toolkit's PNG reader.
QIcon programIcon()
{
    QFile file(QStringLiteral(":/icons/papyrant.ico"));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    QIcon icon;
    for (std::size_t entry = 0; entry < iconPictureCount(view); ++entry) {
        if (std::ranges::find(kWindowIconSizes, iconPictureWidth(view, entry)) == std::end(kWindowIconSizes))
            continue;
        if (const std::optional<IconPicture> picture = readIconPicture(view, entry)) {
            // Kept in the straight-alpha format the window system takes: converted to the format Qt draws with,
            // each picture would be converted back when the window is made.
            icon.addPixmap(QPixmap::fromImage(imageOf(*picture), Qt::NoFormatConversion));
        }
    }
#ifdef Q_OS_WIN
    icon.addPixmap(QPixmap::fromImage(
        readByFormat(QImageReader(QStringLiteral(":/icons/papyrant-256.png"), "png")), Qt::NoFormatConversion));
#endif
    return icon;
}

// Arial bold 9 pt for the window; the buttons take the same face larger.
QFont windowFont()
{
    QFont base(QStringLiteral("Arial"));
    base.setPointSizeF(9);
    base.setBold(true);
    return base;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_settings(std::make_unique<SettingsStore>(m_services.registry))
    , m_conversion(std::make_unique<ConversionRun>(ConversionServices {
          m_services.registry, m_services.printers, m_services.launch, m_services.runLock, m_services.pdfWaitLimit }))
    , m_drag(m_list)
{
    initialiseResources();
    setObjectName(QStringLiteral("Form1"));
    // The window's face is set before its controls are made, so that each takes it as it is made: the toolkit's
    // own default face, which no control shows, is then never looked up (each lookup is a font match of its own).
    setFont(windowFont());
    buildControls();
    applyButtonFonts();
    wireHandlers();
}

Form1::~Form1()
{
    // The list control watches the job list, a member that dies before QWidget deletes the children: the
    // control goes first.
    delete m_listView;
    m_listView = nullptr;
}

void Form1::buildControls()
{
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    auto place = [dpi](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twipsRect(left, top, width, height, dpi));
    };

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(8040, dpi), twipsToPixels(6705, dpi));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    m_listView = new ListView1(m_list, this);
    place(m_listView, 120, 120, 7800, 2540);

    auto button = [&](QPushButton*& slot, const char* name, const char* caption) {
        slot = new QPushButton(QString::fromLatin1(caption), this);
        slot->setObjectName(QString::fromLatin1(name));
        slot->setAutoDefault(false);
        return slot;
    };
    // The right-hand captions are the long ones: their column is wider, so that they fit in a wider face than the
    // one the layout was drawn with (DejaVu Sans, or Tahoma under Wine).
    place(button(PushButton1, "PushButton1", "Add XML File(s)"), 120, 2750, 3660, 405);
    place(button(PushButton4, "PushButton4", "Add All XML File(s) In Folder"), 3900, 2750, 4020, 405);
    place(button(PushButton6, "PushButton6", "Clear List"), 120, 3260, 3660, 405);
    place(button(PushButton7, "PushButton7", "Load Sample/Example Files"), 3900, 3260, 4020, 405);

    Frame5 = new QGroupBox(QStringLiteral("Save Option"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    place(Frame5, 120, 3720, 7800, 1815);

    Option1 = new QRadioButton(QStringLiteral("Save results to this folder:"), Frame5);
    Option1->setObjectName(QStringLiteral("Option1"));
    place(Option1, 240, 300, 4200, 255); // wider than drawn, for the same reason
    Option1->setChecked(true);

    Frame3 = new QGroupBox(Frame5);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    place(Frame3, 480, 510, 6840, 810);

    Text1 = new QLineEdit(Frame3);
    Text1->setObjectName(QStringLiteral("Text1"));
    place(Text1, 240, 300, 5670, 345);

    PushButton9 = new QPushButton(QStringLiteral("..."), Frame3);
    PushButton9->setObjectName(QStringLiteral("PushButton9"));
    PushButton9->setAutoDefault(false);
    place(PushButton9, 6000, 300, 600, 345);

    Option2 = new QRadioButton(QStringLiteral("Save results in folder of original file"), Frame5);
    Option2->setObjectName(QStringLiteral("Option2"));
    place(Option2, 240, 1410, 4200, 255);

    place(button(PushButton2, "PushButton2", "Start Converting"), 120, 5660, 7800, 405);

    ProgressBar1_ = new ProgressBar1(this);
    place(ProgressBar1_, 120, 6180, 7800, 405);

    // The tab order of the layout: list, progress bar, the buttons, then the save options.
    const QList<QWidget*> order { m_listView, ProgressBar1_, PushButton1, PushButton4, PushButton2, PushButton6,
        PushButton7, Frame5, Option1, Option2, Frame3, Text1, PushButton9 };
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QWidget* framed : { static_cast<QWidget*>(Frame5), static_cast<QWidget*>(Frame3),
             static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2) }) {
        framed->setAutoFillBackground(true);
        QPalette framedWhite = white;
        framedWhite.setColor(QPalette::Button, Qt::white);
        framed->setPalette(framedWhite);
        framed->setBackgroundRole(QPalette::Window);
    }
}

void Form1::applyButtonFonts()
{
    QFont buttons = windowFont();
    buttons.setPointSizeF(11.25);
    for (QPushButton* b : { PushButton1, PushButton2, PushButton4, PushButton6, PushButton7, PushButton9 })
        b->setFont(buttons);
}

void Form1::wireHandlers()
{
    connect(PushButton1, &QPushButton::clicked, this, [this] { PushButton1_Click(); });
    connect(PushButton2, &QPushButton::clicked, this, [this] { PushButton2_Click(); });
    connect(PushButton4, &QPushButton::clicked, this, [this] { PushButton4_Click(); });
    connect(PushButton6, &QPushButton::clicked, this, [this] { PushButton6_Click(); });
    connect(PushButton7, &QPushButton::clicked, this, [this] { PushButton7_Click(); });
    connect(PushButton9, &QPushButton::clicked, this, [this] { PushButton9_Click(); });
    // A selection change by the user or by the restore runs the click behaviour.
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option1_Click();
    });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });

    connect(m_listView, &ListView1::keyDown, this, [this](int key) { ListView1_KeyDown(key); });
    connect(m_listView, &ListView1::dblClick, this, [this] { ListView1_DblClick(); });
    connect(m_listView, &ListView1::mouseDown, this, [this] { ListView1_MouseDown(); });
    connect(m_listView, &ListView1::itemClick, this, [this] { ListView1_ItemClick(); });
    connect(m_listView, &ListView1::mouseMove, this, [this](const QPoint& p) { ListView1_MouseMove(p); });
    connect(m_listView, &ListView1::mouseUp, this, [this] { ListView1_MouseUp(); });
    connect(m_listView, &ListView1::listPointerChanged, this, [this] { refreshCursors(); });
    m_listView->dragOverHandler = [this](const QMimeData* dropped) { return ListView1_OLEDragOver(dropped); };
    m_listView->dropHandler = [this](const QMimeData* dropped) { ListView1_OLEDragDrop(dropped); };

    // Every control gets the moves over itself; those without a handler keep them from their frame's handler.
    setMouseTracking(true);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->setAttribute(Qt::WA_NoMousePropagation, true);
    }
    for (QWidget* watched :
        { static_cast<QWidget*>(Frame3), static_cast<QWidget*>(Frame5), static_cast<QWidget*>(PushButton1),
            static_cast<QWidget*>(PushButton2), static_cast<QWidget*>(PushButton4), static_cast<QWidget*>(PushButton6),
            static_cast<QWidget*>(PushButton7), static_cast<QWidget*>(PushButton9) })
        watched->installEventFilter(this);
}

void Form1::unguardedFailure()
{
    // These handlers have no guard of their own and nothing in ordinary use fails there; a failure is noted and
    // never reaches Qt's event loop.
    const RuntimeError error = currentExceptionAsRuntimeError();
    qWarning("Papyrant: %s", error.description().c_str());
}

void Form1::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

void Form1::Form_Load()
{
    CommandScope scope(*this);
    GuardedCommand cmd(m_services.messages, commandLocation("Form_Load"));
    const std::string cursorPath = m_services.programFolder + kNativeSeparator + "HAND-M.CUR";

    cmd.step(100, [&] { ApplySkin(*this, m_services.programFolder); });
    if (cmd.test(102, [&] { return FileExists(cursorPath); })) {
        cmd.step(104, [&] { m_handCursor = loadCursorFile(cursorPath); });
    }
    cmd.step(126, [&] { setWindowTitle(QString::fromLatin1(kProductName)); });
    cmd.step(126, [&] { setWindowIcon(programIcon()); });
    cmd.step(126, [&] { m_services.messages.setApplicationTitle(applicationTitleFor(kProductName)); });
    cmd.step(128, [&] { m_listView->addColumn(QStringLiteral("XML File(s)")); });
    cmd.step(130, [&] { m_listView->setColumnWidth(0, twipsToPixels(7000, logicalDpiX() > 0 ? logicalDpiX() : 96)); });
    restoreOutputOptions(cmd);
    cmd.step(144, [&] { CheckPdfPrinter(m_services.printers, m_services.messages); });
    centreOnScreen();
}

void Form1::setMousePointer(int value)
{
    if (m_mousePointer == value)
        return;
    m_mousePointer = value;
    refreshCursors();
}

QCursor Form1::cursorShownOver(const QWidget* widget) const
{
    if (m_mousePointer == pointer::kHourglass)
        return QCursor(Qt::WaitCursor);
    const bool overList
        = widget && (widget == m_listView || widget == m_listView->viewport() || m_listView->isAncestorOf(widget));
    if (overList)
        return m_listView->listCursor();
    if (m_mousePointer == pointer::kCustom && m_handCursor)
        return *m_handCursor;
    return QCursor(Qt::ArrowCursor);
}

void Form1::refreshCursors()
{
    // The window's pointer applies over every control; the hourglass wins over a control's own pointer.
    setCursor(cursorShownOver(this));
    for (QWidget* child : findChildren<QWidget*>())
        child->setCursor(cursorShownOver(child));
}

void Form1::quitIfStopped()
{
    if (m_yielder.stopRequested())
        QTimer::singleShot(0, this, [this] { close(); });
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Form_Unload: the program ends. A command still on the stack first unwinds; the window only hides.
    if (m_runningCommands > 0) {
        m_yielder.requestStop();
        hide();
        event->ignore();
        return;
    }
    m_yielder.requestStop();
    event->accept();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == Frame3)
            Frame3_MouseMove();
        else if (watched == Frame5)
            Frame5_MouseMove();
        else
            PushButton_MouseMove();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::Form_MouseMove()
{
    if (m_mousePointer != pointer::kHourglass)
        setMousePointer(pointer::kDefault);
}

void Form1::Frame3_MouseMove()
{
    Form_MouseMove();
}

void Form1::Frame5_MouseMove()
{
    Form_MouseMove();
}

void Form1::PushButton_MouseMove()
{
    if (m_mousePointer != pointer::kHourglass)
        setMousePointer(pointer::kCustom);
}

} // namespace papyrant
