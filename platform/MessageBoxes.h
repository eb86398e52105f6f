#pragma once

#include <optional>
#include <string>

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
};

} // namespace papyrant
