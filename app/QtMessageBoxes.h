#pragma once

#include "runtime/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace papyrant {

// Real modal message boxes, owned by the main window.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner)
    {
        m_owner = owner;
    }
    MessageAnswer show(const Message& message) override;

    // The message's text as Qt shows it: CR LF and bare CRs become line breaks.
    static QString displayText(const std::string& text);

private:
    QPointer<QWidget> m_owner;
};

} // namespace papyrant
