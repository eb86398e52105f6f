#include "app/Skin.h"

#include "filelist/gui/FileNameText.h"
#include "platform/FileSystem.h"
#include "runtime/RuntimeError.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStringDecoder>
#include <QWidget>

namespace papyrant {

namespace {

// Qt reports a sheet it cannot parse only as a warning; catch it while the sheet is applied.
QtMessageHandler g_previousHandler = nullptr;
bool g_parseFailed = false;

void catchParseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QStringLiteral("Could not parse"))) {
        g_parseFailed = true;
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

bool isOrdinaryFile(const std::string& path)
{
    if (!IsExistingFile(path))
        return false;
    const int attributes = GetAttributes(path);
    return (attributes & (attr::kHidden | attr::kSystem | attr::kDirectory)) == 0;
}

void followButtonFace(QWidget& widget)
{
    // A reference to the theme's button face, not a fixed colour, so that it follows the desktop.
    QPalette palette = widget.palette();
    palette.setBrush(QPalette::Window, QWidget().palette().brush(QPalette::Button));
    widget.setPalette(palette);
    widget.setBackgroundRole(QPalette::Window);
}

} // namespace

void ApplySkin(QWidget& window, const std::string& programFolder)
{
    const std::string path = programFolder + kNativeSeparator + "x" + kNativeSeparator + "o.cjs";
    if (!isOrdinaryFile(path))
        return;

    followButtonFace(window);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(control) || qobject_cast<QGroupBox*>(control) || qobject_cast<QLabel*>(control)
            || control->inherits("QCheckBox"))
            followButtonFace(*control);
    }

    QFile file(fileNameText(path));
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(err::kPermissionDenied);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(err::kDeviceIoError);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString sheet = decoder.decode(bytes);
    if (decoder.hasError())
        throw RuntimeError(err::kInvalidFileFormat);

    g_parseFailed = false;
    g_previousHandler = qInstallMessageHandler(catchParseWarnings);
    window.setStyleSheet(sheet);
    window.ensurePolished();
    for (QWidget* control : window.findChildren<QWidget*>())
        control->ensurePolished();
    qInstallMessageHandler(g_previousHandler);
    if (g_parseFailed) {
        window.setStyleSheet(QString());
        throw RuntimeError(err::kInvalidFileFormat);
    }
}

} // namespace papyrant
