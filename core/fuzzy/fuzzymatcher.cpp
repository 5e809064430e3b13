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
// Two ways in: score(QString, QString) follows this description literally and serves as the
// reference; score(FuzzyText, FuzzyText) runs the same walk over texts prepared once (lowered,
// segmented, normalised, word starts marked), which is what ranking thousands of items uses.
// Tests keep the two in agreement.

#include "fuzzymatcher.h"

#include "fuzzytext.h"
#include "graphemes.h"


#include <unicode/uchar.h>

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
