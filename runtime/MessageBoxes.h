#pragma once

#include <optional>
#include <string>
#include <utility>

namespace papyrant {

enum class MessageIcon
{
    None,
    Exclamation,
};

enum class MessageButtons
{
    Ok,
    YesNo,
};

enum class MessageAnswer
{
    Ok,
    Yes,
    No,
};

struct Message
{
    std::string text;
    // No title of its own: the box shows the application title.
    std::optional<std::string> title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Modal message boxes. The window shows real ones; tests answer them by script.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const Message& message) = 0;

    // The application title: the caption of every box without a title of its own. It is the program's own
    // state, never the GUI toolkit's application name, which window managers would append to every caption.
    void setApplicationTitle(std::string title)
    {
        m_applicationTitle = std::move(title);
    }
    const std::string& applicationTitle() const
    {
        return m_applicationTitle;
    }
    std::string captionOf(const Message& message) const
    {
        return message.title ? *message.title : m_applicationTitle;
    }

private:
    std::string m_applicationTitle;
};

} // namespace papyrant
