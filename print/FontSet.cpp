#include "print/FontSet.h"

#include "print/FontFallback.h"
#include "print/LocaleName.h"

#include <algorithm>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <map>
#include <mutex>

namespace papyrant {

namespace {

const FcCharSet* charsetOf(const void* charset)
{
    return static_cast<const FcCharSet*>(charset);
}

std::string stringOf(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, 0, &value) == FcResultMatch ? reinterpret_cast<const char*>(value)
                                                                           : std::string();
}

int intOf(FcPattern* pattern, const char* object, int fallback)
{
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

// How far a face is from the upright, regular, normal-width style a print-out is set in.
int styleDistance(FcPattern* pattern)
{
    return std::abs(intOf(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR) - FC_WEIGHT_REGULAR)
        + std::abs(intOf(pattern, FC_WIDTH, FC_WIDTH_NORMAL) - FC_WIDTH_NORMAL)
        + (intOf(pattern, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN ? 1000 : 0);
}

bool isTrueType(FcPattern* pattern)
{
    return stringOf(pattern, FC_FONTFORMAT) == "TrueType";
}

// The regular TrueType face of a family, if one is installed.
FcPattern* regularFaceOf(const std::string& family)
{
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(
        FC_FILE, FC_INDEX, FC_CHARSET, FC_FONTFORMAT, FC_WEIGHT, FC_WIDTH, FC_SLANT, static_cast<char*>(nullptr));
    FcFontSet* list = FcFontList(nullptr, query, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(query);
    FcPattern* best = nullptr;
    if (list) {
        int bestDistance = 0;
        for (int i = 0; i < list->nfont; ++i) {
            FcPattern* candidate = list->fonts[i];
            if (!isTrueType(candidate))
                continue;
            const int distance = styleDistance(candidate);
            if (!best || distance < bestDistance) {
                best = candidate;
                bestDistance = distance;
            }
        }
        if (best)
            FcPatternReference(best);
        FcFontSetDestroy(list);
    }
    return best;
}

// The process's faces, each opened once, by file and index.
std::shared_ptr<FontFace> sharedFace(const std::string& file, unsigned index)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, unsigned>, std::shared_ptr<FontFace>> faces;
    std::lock_guard lock(mutex);
    std::shared_ptr<FontFace>& face = faces[{ file, index }];
    if (!face)
        face = std::make_shared<FontFace>(file, index);
    return face;
}

} // namespace

FontSet::FontSet(std::string locale)
    : m_locale(std::move(locale))
{
    auto main = sharedFace(kMainFontFile, 0);
    if (!main->valid()) {
        // Not where Debian puts it: the only time the main face costs a fontconfig look-up.
        if (FcPattern* pattern = regularFaceOf(kMainFamily)) {
            main = sharedFace(stringOf(pattern, FC_FILE), static_cast<unsigned>(intOf(pattern, FC_INDEX, 0)));
            FcPatternDestroy(pattern);
        }
    }
    if (!main->valid())
        m_problem = std::string("the font \"") + kMainFamily + "\" is not installed";
    m_faces.push_back(std::move(main));
}

FontSet::~FontSet() = default;

namespace {

struct FaceEntry
{
    std::string file;
    unsigned index;
    const FcCharSet* charset;
};

// What fontconfig says is the same for every document of a process: the faces are asked for once per locale
// and kept, so that a batch of documents does not ask again for each one.
struct FallbackFaces
{
    std::vector<FaceEntry> chosen; // the deliberate order
    std::vector<FaceEntry> others; // every other TrueType face, in fontconfig's order
    bool othersFound = false;
};

void addEntry(std::vector<FaceEntry>& entries, FcPattern* pattern)
{
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) != FcResultMatch)
        return;
    entries.push_back(FaceEntry {
        stringOf(pattern, FC_FILE), static_cast<unsigned>(intOf(pattern, FC_INDEX, 0)), FcCharSetCopy(charset) });
}

std::vector<FaceEntry> chosenFaces(const std::string& locale)
{
    std::vector<FaceEntry> entries;
    for (const std::string& family : fallbackFamilies(locale)) {
        if (FcPattern* pattern = regularFaceOf(family)) {
            addEntry(entries, pattern);
            FcPatternDestroy(pattern);
        }
    }
    return entries;
}

std::vector<FaceEntry> otherFaces(const std::string& locale)
{
    std::vector<FaceEntry> entries;
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    const std::string language = parseLocaleName(locale).language;
    if (!language.empty())
        FcPatternAddString(query, FC_LANG, reinterpret_cast<const FcChar8*>(language.c_str()));
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, query, FcTrue, nullptr, &result);
    FcPatternDestroy(query);
    if (!sorted)
        return entries;
    for (int i = 0; i < sorted->nfont; ++i) {
        if (isTrueType(sorted->fonts[i]))
            addEntry(entries, sorted->fonts[i]);
    }
    FcFontSetDestroy(sorted);
    return entries;
}

std::mutex g_fallbackMutex;
std::map<std::string, FallbackFaces>& fallbackCache()
{
    static std::map<std::string, FallbackFaces> cache;
    return cache;
}

} // namespace

void FontSet::addCandidates(bool others)
{
    std::vector<FaceEntry> entries;
    {
        std::lock_guard lock(g_fallbackMutex);
        auto [known, added] = fallbackCache().try_emplace(m_locale);
        FallbackFaces& faces = known->second;
        if (added)
            faces.chosen = chosenFaces(m_locale);
        if (others && !faces.othersFound) {
            faces.others = otherFaces(m_locale);
            faces.othersFound = true;
        }
        entries = others ? faces.others : faces.chosen;
    }
    for (const FaceEntry& entry : entries) {
        if (entry.file.empty() || (entry.file == m_faces.front()->path() && entry.index == 0))
            continue;
        const bool known = std::any_of(m_candidates.begin(), m_candidates.end(), [&entry](const Candidate& candidate) {
            return candidate.file == entry.file && candidate.index == entry.index;
        });
        if (!known)
            m_candidates.push_back(Candidate { entry.file, entry.index, entry.charset });
    }
}

int FontSet::openCandidate(Candidate& candidate)
{
    if (candidate.face == kNoFace && !candidate.unusable) {
        auto face = sharedFace(candidate.file, candidate.index);
        if (face->valid()) {
            candidate.face = faceCount();
            m_faces.push_back(std::move(face));
        } else {
            candidate.unusable = true;
        }
    }
    return candidate.face;
}

int FontSet::faceFor(char32_t cp)
{
    if (m_faces.front()->glyphFor(cp) != 0)
        return kMainFace;
    const auto known = m_faceOf.find(cp);
    if (known != m_faceOf.end())
        return known->second;
    int found = kNoFace;
    for (int pass = 0; pass < 2 && found == kNoFace; ++pass) {
        if (pass == 0 && !m_candidatesFound) {
            addCandidates(false);
            m_candidatesFound = true;
        }
        if (pass == 1) {
            if (m_otherCandidatesFound)
                break;
            addCandidates(true);
            m_otherCandidatesFound = true;
        }
        for (Candidate& candidate : m_candidates) {
            if (candidate.unusable || !FcCharSetHasChar(charsetOf(candidate.charset), cp))
                continue;
            const int face = openCandidate(candidate);
            if (face != kNoFace && m_faces[static_cast<std::size_t>(face)]->glyphFor(cp) != 0) {
                found = face;
                break;
            }
        }
    }
    m_faceOf.emplace(cp, found);
    return found;
}

} // namespace papyrant
