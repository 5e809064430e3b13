// How a query is scored against a candidate
// -----------------------------------------
//
// A query matches when its characters occur in the candidate in the same order, ignoring case.
// "Character" means a user-perceived character (an extended grapheme cluster), so "é" typed as
// one code point matches "é" stored as "e" + U+0301, and two characters are equal when they are
// canonically equivalent (we compare their NFD forms). Case is ignored by fully lowercasing the
// query and the candidate as whole strings (U+0130 "İ" becomes "i" + U+0307, one character);
// the two small Greek sigmas σ and ς count as one letter.
//
// The walk is greedy and never backtracks: each query character takes the first equal
// character after the previous match. Each matched character earns
//     1                   for matching,
//   + 5                   when it directly follows the previous match (an unbroken run),
//   + 8                   when it starts a word: it is the candidate's first character, or the
//                         character before it is one of  / _ - space .  or the character before it
//                         is lowercase and it is uppercase (fooBar). Case here is read from the
//                         candidate as typed, not from its lowered form.
// There are no penalties: gaps, unmatched tails and length cost nothing (ranking breaks ties by
// length). A matched character is worth 1, 6, 9 or 14 points.
//
// Worked examples:
//   "ab"   in "ab"          a: 1 + 8 (start)         b: 1 + 5 (run)                  = 15
//   "fb"   in "FooBar"      F: 1 + 8 (start)         B: 1 + 8 (o before B)           = 18
//   "fb"   in "foobar"      f: 9                     b: 1 (no boundary)               = 10
//   "rm"   in "README.md"   r: 9                     m: 1, taken in "ME" after D,
//                                                     not the later one after the dot = 10
//   "read" in "README.md"   9 + 6 + 6 + 6                                            = 27
//   "ms"   in "lib/map.sh"  m after "/": 9           s after ".": 9                  = 18
//   "ba"   in "ab"          a only occurs before b: no match
//
// Three ways in: score(QString, QString) follows this description literally and serves as the
// reference; score(FuzzyText, FuzzyText) runs the same walk over texts prepared once (lowered,
// segmented, normalised, word starts marked), which is what ranking uses for unusual texts; and
// scoreAscii() walks plain ASCII text as typed, lowering and finding word starts on the way,
// which is what ranking uses for nearly every path. Tests keep the three in agreement.

#include "fuzzymatcher.h"

#include "fuzzytext.h"
#include "graphemes.h"

#include <algorithm>
#include <bit>

#include <unicode/uchar.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

qint64 pointsFor(qsizetype position, qsizetype previous, bool wordStart)
{
    qint64 points = FuzzyMatcher::matchPoints;
    if (previous >= 0 && previous == position - 1)
        points += FuzzyMatcher::consecutiveBonus;
    if (wordStart)
        points += FuzzyMatcher::wordStartBonus;
    return points;
}

bool isSeparator(const QString &character)
{
    if (character.size() != 1)
        return false;
    switch (character.front().unicode()) {
    case u'/': case u'_': case u'-': case u' ': case u'.':
        return true;
    default:
        return false;
    }
}

// Which of the 16 bytes from `text` on are `wanted`, a key, one bit each. A capital ASCII letter
// is its small one without the 0x20 bit; nothing else folds.
unsigned blockMatches(const char *text, char wanted)
{
    const char fold = wanted >= 'a' && wanted <= 'z' ? 0x20 : 0;
#ifdef __SSE2__
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text));
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(fold)), _mm_set1_epi8(wanted))));
#else
    unsigned found = 0;
    for (int i = 0; i < 16; ++i)
        found |= unsigned(char(text[i] | fold) == wanted) << i;
    return found;
#endif
}

// Where `wanted` first occurs in text[from, size), `size` if nowhere; reads past the end into
// the padding the caller promised.
qsizetype findAscii(const char *text, qsizetype from, qsizetype size, char wanted)
{
    for (qsizetype block = from; block < size; block += 16) {
        if (const unsigned found = blockMatches(text + block, wanted))
            return std::min(size, block + std::countr_zero(found));
    }
    return size;
}

// Scores `keys` over text[from, size) one character at a time.
std::optional<qint64> walkAscii(QByteArrayView keys, const char *text, qsizetype from, qsizetype size)
{
    const qsizetype start = from;
    qint64 total = 0;
    qsizetype previous = -1;
    for (const char wanted : keys) {
        const qsizetype position = findAscii(text, from, size, wanted);
        if (position == size)
            return std::nullopt;
        total += pointsFor(position, previous, position == start || FuzzyText::startsAsciiWord(text, position));
        previous = position;
        from = position + 1;
    }
    return total;
}

// Where each key occurs in a text of at most 64 characters, one bit per position, worked out
// on demand and kept, so that the text and its tail are scored on one reading.
class AsciiPositions
{
public:
    static constexpr qsizetype maxKeys = 16;

    AsciiPositions(QByteArrayView keys, const char *text, qsizetype size)
        : m_keys(keys), m_text(text), m_size(size), m_inside(size == 64 ? ~quint64(0) : (quint64(1) << size) - 1)
    {
    }

    // The score over the text from `from` on.
    std::optional<qint64> score(qsizetype start)
    {
        qint64 total = 0;
        qsizetype from = start;
        qsizetype previous = -1;
        for (qsizetype key = 0; key < m_keys.size(); ++key) {
            const quint64 later = from >= 64 ? 0 : ~quint64(0) << from;
            const quint64 candidates = positionsOf(key) & later;
            if (candidates == 0)
                return std::nullopt;
            const qsizetype position = std::countr_zero(candidates);
            total += pointsFor(position, previous, position == start || FuzzyText::startsAsciiWord(m_text, position));
            previous = position;
            from = position + 1;
        }
        return total;
    }

private:
    quint64 positionsOf(qsizetype key)
    {
        if (key >= m_known) {
            m_positions[key] = occurrences(m_keys[key]) & m_inside;
            m_known = key + 1;
        }
        return m_positions[key];
    }

    quint64 occurrences(char wanted) const
    {
        quint64 found = 0;
        for (qsizetype block = 0; block < m_size; block += 16)
            found |= quint64(blockMatches(m_text + block, wanted)) << block;
        return found;
    }

    QByteArrayView m_keys;
    const char *m_text;
    qsizetype m_size;
    quint64 m_inside;
    quint64 m_positions[maxKeys];
    qsizetype m_known = 0;
};

bool sameCharacter(const QString &a, const QString &b)
{
    return a == b || FuzzyMatcher::key(a) == FuzzyMatcher::key(b);
}

// Lowercase (Unicode property) for one scalar; for a cluster, unchanged by lowercasing and
// changed by uppercasing. `lower` swaps the roles for the uppercase test.
bool hasCase(const QString &character, bool lower)
{
    const QList<uint> scalars = character.toUcs4();
    if (scalars.size() == 1)
        return u_hasBinaryProperty(UChar32(scalars.front()), lower ? UCHAR_LOWERCASE : UCHAR_UPPERCASE);
    const QString same = lower ? character.toLower() : character.toUpper();
    const QString other = lower ? character.toUpper() : character.toLower();
    return sameCharacter(same, character) && !sameCharacter(other, character);
}

} // namespace

QString FuzzyMatcher::lowered(const QString &text)
{
    // Greek has two small sigmas, and whether a capital one becomes the final ς depends on what
    // follows it: typed names and stored names rarely agree on that, so both count as σ.
    QString result = text.toLower();
    result.replace(QChar(u'\u03c2'), QChar(u'\u03c3'));
    return result;
}

std::optional<qint64> FuzzyMatcher::score(const QString &query, const QString &candidate)
{
    if (query.isEmpty())
        return 0;
    const QStringList wanted = characters(lowered(query));
    const QStringList original = characters(candidate);
    const QStringList lowered = characters(FuzzyMatcher::lowered(candidate));

    qint64 total = 0;
    qsizetype from = 0;
    qsizetype previous = -1;
    for (const QString &character : wanted) {
        const QString wantedKey = key(character);
        qsizetype position = from;
        while (position < lowered.size() && key(lowered.at(position)) != wantedKey)
            ++position;
        if (position == lowered.size())
            return std::nullopt;
        total += pointsFor(position, previous, startsWord(original, position));
        previous = position;
        from = position + 1;
    }
    return total;
}

std::optional<qint64> FuzzyMatcher::score(const FuzzyText &query, const FuzzyText &candidate)
{
    if (query.isEmpty())
        return 0;
    qint64 total = 0;
    qsizetype from = 0;
    qsizetype previous = -1;
    const auto take = [&](qsizetype position) {
        total += pointsFor(position, previous, candidate.startsWord(position));
        previous = position;
        from = position + 1;
    };

    if (!candidate.mayContain(query))
        return std::nullopt;

    if (query.isSimple() && candidate.isSimple()) {
        // Short texts: a plain loop beats a library search call per character.
        const QChar *keys = candidate.keys().data();
        const qsizetype size = candidate.size();
        for (const QChar wanted : query.keys()) {
            qsizetype position = from;
            while (position < size && keys[position] != wanted)
                ++position;
            if (position == size)
                return std::nullopt;
            take(position);
        }
        return total;
    }

    const qsizetype size = candidate.size();
    for (qsizetype q = 0; q < query.size(); ++q) {
        const QStringView wanted = query.character(q);
        if (candidate.isSimple() && wanted.size() != 1)
            return std::nullopt; // a decomposed character never equals a single unit
        qsizetype position = from;
        while (position < size && candidate.character(position) != wanted)
            ++position;
        if (position == size)
            return std::nullopt;
        take(position);
    }
    return total;
}

FuzzyMatcher::AsciiScores FuzzyMatcher::scoreAscii(QByteArrayView keys, const char *candidate, qsizetype size,
                                                   qsizetype tailStart)
{
    if (size <= 64 && keys.size() <= AsciiPositions::maxKeys) {
        AsciiPositions positions(keys, candidate, size);
        const auto whole = positions.score(0);
        // A tail holds no match its whole candidate lacks.
        return {whole, whole ? positions.score(tailStart) : std::nullopt};
    }
    const auto whole = walkAscii(keys, candidate, 0, size);
    return {whole, whole ? walkAscii(keys, candidate, tailStart, size) : std::nullopt};
}

QStringList FuzzyMatcher::characters(const QString &text)
{
    return Graphemes::split(text);
}

QString FuzzyMatcher::key(const QString &character)
{
    if (character.size() == 1 && character.front().unicode() < 0x80)
        return character;
    return character.normalized(QString::NormalizationForm_D);
}

bool FuzzyMatcher::startsWord(const QStringList &original, qsizetype position)
{
    if (position == 0)
        return true;
    if (position >= original.size())
        return false; // lowering changed the character count: no neighbour, no boundary
    const QString &before = original.at(position - 1);
    return isSeparator(before) || (isLowercase(before) && isUppercase(original.at(position)));
}

bool FuzzyMatcher::isLowercase(const QString &character)
{
    return hasCase(character, true);
}

bool FuzzyMatcher::isUppercase(const QString &character)
{
    return hasCase(character, false);
}
