#pragma once
// Scores a typed query against a file name or relative path: a case-insensitive subsequence
// match over user-perceived characters, with bonuses for word starts and unbroken runs.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

class FuzzyText;

class FuzzyMatcher
{
public:
    FuzzyMatcher() = delete;

    // Empty when the query is not a subsequence of the candidate; 0 for an empty query.
    [[nodiscard]] static std::optional<qint64> score(const QString &query, const QString &candidate);
    // The same score over texts prepared once (see FuzzyText); what ranking uses.
    [[nodiscard]] static std::optional<qint64> score(const FuzzyText &query, const FuzzyText &candidate);
    // The same score of a query whose keys are all ASCII (`keys`, see FuzzyText::keys()) over a
    // plain ASCII candidate as typed (see FuzzyText::isPlainAscii()), and over the candidate's
    // tail from `tailStart` on, in one go. The candidate is read in blocks: asciiPadding bytes
    // after its end must be readable too (their contents don't matter).
    struct AsciiScores
    {
        std::optional<qint64> whole;
        std::optional<qint64> tail;
    };
    [[nodiscard]] static AsciiScores scoreAscii(QByteArrayView keys, const char *candidate, qsizetype size,
                                                qsizetype tailStart);

    // Building blocks shared with FuzzyText.
    // The text's extended grapheme clusters.
    [[nodiscard]] static QStringList characters(const QString &text);
    // Full Unicode lower-casing of a whole text, with the final sigma taken as σ.
    [[nodiscard]] static QString lowered(const QString &text);
    // What two characters are compared by: canonically equivalent ones get the same key.
    [[nodiscard]] static QString key(const QString &character);
    // Whether a match at `position` earns the word-start bonus, judged on the candidate's
    // characters in their original case.
    [[nodiscard]] static bool startsWord(const QStringList &original, qsizetype position);
    [[nodiscard]] static bool isLowercase(const QString &character);
    [[nodiscard]] static bool isUppercase(const QString &character);

    static constexpr qsizetype asciiPadding = 15;

    static constexpr qint64 matchPoints = 1;
    static constexpr qint64 consecutiveBonus = 5;
    static constexpr qint64 wordStartBonus = 8;
};
