#include "print/LineBreaks.h"

#include <unicode/ubrk.h>

namespace papyrant {

namespace {

bool isScalarValue(char32_t cp)
{
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

} // namespace

void LineBreaks::Closer::operator()(UBreakIterator* iterator) const
{
    ubrk_close(iterator);
}

LineBreaks::LineBreaks(std::string languageTag)
    : m_locale(std::move(languageTag))
{
}

LineBreaks::~LineBreaks() = default;

bool LineBreaks::open()
{
    if (!m_iterator && !m_unavailable) {
        UErrorCode status = U_ZERO_ERROR;
        UBreakIterator* iterator = ubrk_open(UBRK_LINE, m_locale.c_str(), nullptr, 0, &status);
        if (U_SUCCESS(status) && iterator)
            m_iterator.reset(iterator);
        else
            m_unavailable = true;
    }
    return static_cast<bool>(m_iterator);
}

void LineBreaks::find(const std::vector<char32_t>& chars, std::vector<char>& breakAfter)
{
    breakAfter.assign(chars.size(), 0);
    m_text.clear();
    for (char32_t cp : chars) {
        if (!isScalarValue(cp))
            cp = U'\uFFFD';
        if (cp >= 0x10000) {
            m_text.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            m_text.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            m_text.push_back(static_cast<char16_t>(cp));
        }
    }
    UErrorCode status = U_ZERO_ERROR;
    if (open())
        ubrk_setText(m_iterator.get(), m_text.data(), static_cast<std::int32_t>(m_text.size()), &status);
    if (!m_iterator || U_FAILURE(status)) {
        // Without ICU's data the line still wraps, after its spaces; a longer word is cut where the row ends.
        for (std::size_t i = 0; i + 1 < chars.size(); ++i)
            breakAfter[i] = chars[i] == U' ';
        return;
    }
    // The boundaries come in order, as UTF-16 offsets: walk the characters alongside them.
    const auto end = static_cast<std::int32_t>(m_text.size());
    std::int32_t unit = 0;
    std::size_t next = 0; // the character that starts at `unit`
    for (std::int32_t boundary = ubrk_next(m_iterator.get()); boundary != UBRK_DONE && boundary < end;
         boundary = ubrk_next(m_iterator.get())) {
        while (unit < boundary) {
            unit += m_text[static_cast<std::size_t>(unit)] >= 0xD800 && m_text[static_cast<std::size_t>(unit)] < 0xDC00
                ? 2
                : 1;
            ++next;
        }
        if (next > 0)
            breakAfter[next - 1] = 1;
    }
}

} // namespace papyrant
