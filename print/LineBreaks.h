#pragma once

#include <memory>
#include <string>
#include <vector>

struct UBreakIterator;

namespace papyrant {

// Where a line of text may wrap, by the Unicode line-breaking rules as ICU implements them (with its
// dictionaries for Thai, Lao, Khmer and Burmese, which write no spaces between words). Any code point is
// accepted: ill-formed ones are taken as U+FFFD. The iterator is opened on first use, so a print-out whose
// lines never need it does not load ICU's data.
class LineBreaks
{
public:
    // `languageTag` ("th", "ja-JP", or empty) tailors the rules.
    explicit LineBreaks(std::string languageTag);
    ~LineBreaks();
    LineBreaks(const LineBreaks&) = delete;
    LineBreaks& operator=(const LineBreaks&) = delete;

    // Sets breakAfter[i] to true where the line may wrap after chars[i] (never after the last character).
    void find(const std::vector<char32_t>& chars, std::vector<char>& breakAfter);

private:
    struct Closer
    {
        void operator()(UBreakIterator* iterator) const;
    };

    bool open();

    std::string m_locale;
    std::unique_ptr<UBreakIterator, Closer> m_iterator;
    bool m_unavailable = false;
    std::vector<char16_t> m_text; // scratch: the line in UTF-16, as ICU takes it
};

} // namespace papyrant
