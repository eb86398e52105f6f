#pragma once

#include <string>
#include <utility>
#include <variant>

namespace papyrant {

// Why something expected did not happen, in words a person can read (naming the file where there is one).
struct Unexpected
{
    std::string reason;
};

// The one shape of an expected failure below the window: the value, or the reason there is none. Never
// thrown; the runtime's own failures (a number and its description) stay RuntimeError exceptions.
template <typename T> class [[nodiscard]] Expected
{
public:
    Expected(T value)
        : m_state(std::in_place_index<0>, std::move(value))
    {
    }
    Expected(Unexpected failure)
        : m_state(std::in_place_index<1>, std::move(failure.reason))
    {
    }

    explicit operator bool() const
    {
        return m_state.index() == 0;
    }
    T& operator*()
    {
        return std::get<0>(m_state);
    }
    const T& operator*() const
    {
        return std::get<0>(m_state);
    }
    const T* operator->() const
    {
        return &std::get<0>(m_state);
    }
    // Why there is no value; the empty text when there is one.
    const std::string& reason() const
    {
        static const std::string none;
        return m_state.index() == 1 ? std::get<1>(m_state) : none;
    }
    friend bool operator==(const Expected& expected, const T& value)
    {
        return expected && *expected == value;
    }

private:
    std::variant<T, std::string> m_state;
};

// Done, or the reason it could not be done.
template <> class Expected<void>
{
public:
    Expected() = default;
    Expected(Unexpected failure)
        : m_failed(true)
        , m_reason(std::move(failure.reason))
    {
    }

    explicit operator bool() const
    {
        return !m_failed;
    }
    const std::string& reason() const
    {
        return m_reason;
    }

private:
    bool m_failed = false;
    std::string m_reason;
};

} // namespace papyrant
