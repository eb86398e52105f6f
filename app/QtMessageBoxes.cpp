#include "app/QtMessageBoxes.h"

#include <QMessageBox>

namespace papyrant {

QString QtMessageBoxes::displayText(const std::string& text)
{
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

MessageAnswer QtMessageBoxes::show(const Message& message)
{
    const QString title = QString::fromStdString(captionOf(message));
    QWidget* owner = m_owner && m_owner->isVisible() ? m_owner.data() : nullptr;
    QMessageBox box(message.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title,
        displayText(message.text),
        message.buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("PapyrantMessageBox"));
    const int answer = box.exec();
    if (message.buttons == MessageButtons::YesNo)
        return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

} // namespace papyrant
