#pragma once

#include "print/FontFace.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace papyrant {

// The faces of one print-out: the main face, opened from its file, and the faces that draw what it lacks,
// asked of fontconfig only when a character needs one (so a plain file never pays for the large faces).
// One instance per document: it is not shared between threads. The faces themselves are opened once per
// process and shared, read-only, by every document (HarfBuzz's fonts may be used from several threads), so
// that a batch keeps their shaping plans and character maps warm.
class FontSet
{
public:
    static constexpr int kMainFace = 0;
    static constexpr int kNoFace = -1;

    // `locale` orders the fallback faces (see fallbackFamilies).
    explicit FontSet(std::string locale);
    ~FontSet();
    FontSet(const FontSet&) = delete;
    FontSet& operator=(const FontSet&) = delete;

    // False when not even a main face could be found; problem() says why.
    bool valid() const
    {
        return !m_faces.empty() && m_faces.front()->valid();
    }
    const std::string& problem() const
    {
        return m_problem;
    }
    const std::string& locale() const
    {
        return m_locale;
    }
    FontFace& face(int index)
    {
        return *m_faces[static_cast<std::size_t>(index)];
    }
    int faceCount() const
    {
        return static_cast<int>(m_faces.size());
    }

    // The face that draws `cp`: the main face when it can, else the first fallback that can; kNoFace when no
    // installed face draws it.
    int faceFor(char32_t cp);

private:
    struct Candidate
    {
        std::string file;
        unsigned index = 0;
        const void* charset = nullptr; // an FcCharSet, kept for the life of the process
        int face = kNoFace; // once opened
        bool unusable = false;
    };

    void addCandidates(bool others);
    int openCandidate(Candidate& candidate);

    std::string m_locale;
    std::string m_problem;
    std::vector<std::shared_ptr<FontFace>> m_faces; // shared by every document of the process
    std::vector<Candidate> m_candidates;
    bool m_candidatesFound = false;
    bool m_otherCandidatesFound = false;
    std::unordered_map<char32_t, int> m_faceOf;
};

} // namespace papyrant
