#include "filelist/gui/FileNameText.h"

#include <QByteArray>
#include <QFile>

namespace papyrant {

QString fileNameText(std::string_view bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string fileNameBytes(const QString& text)
{
    const QByteArray bytes = QFile::encodeName(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace papyrant
