#pragma once
// A query or candidate text made ready for FuzzyMatcher once, so that scoring it again and again
// (every keystroke over every indexed item) does no segmentation, case mapping or normalisation.
// Plain ASCII text, the usual case for file names, is prepared without any of those.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

class FuzzyText
{
public:
    FuzzyText() = default;
    explicit FuzzyText(const QString &text);

    bool isEmpty() const { return m_keys.isEmpty(); }
    // Characters of the lowered text, the positions a match runs over.
    qsizetype size() const { return m_ends.isEmpty() ? m_keys.size() : m_ends.size(); }
    // Characters of the text as given (the two agree except in exotic case mappings).
    qsizetype length() const { return m_length; }

    // True when every lowered character is a single UTF-16 unit, so keys() indexes characters.
    bool isSimple() const { return m_ends.isEmpty(); }
    QStringView keys() const { return m_keys; }
    // The comparison key of the lowered character at `position`.
    QStringView character(qsizetype position) const;
    // Whether a match at `position` earns the word-start bonus.
    bool startsWord(qsizetype position) const
    {
        return position < 64 ? (m_firstWordStarts >> position) & 1 : m_laterWordStarts.at(position - 64) != 0;
    }
    // One bit per kind of code unit in keys(): a text can only contain another's characters if
    // its mask covers the other's, which rejects most candidates without a walk.
    quint64 mask() const { return m_mask; }
    bool mayContain(const FuzzyText &other) const { return (other.m_mask & ~m_mask) == 0; }

    // Number of user-perceived characters in `text`.
    static qsizetype lengthOf(const QString &text);
    // ASCII without a CR LF pair: one code unit is one character, lowering and canonical
    // decomposition change nothing but A-Z, and only a-z / A-Z carry a case.
    static bool isPlainAscii(const QString &text);
    // The bit mask() sets for a code unit of keys().
    static quint64 maskBit(char16_t key);
    // Whether position `i` of plain ASCII text starts a word: it is the first, or follows a
    // separator, or is an upper-case letter after a lower-case one.
    template<typename Unit>
    static bool startsAsciiWord(const Unit *text, qsizetype i)
    {
        if (i == 0)
            return true;
        const Unit before = text[i - 1];
        return before == '/' || before == '_' || before == '-' || before == ' ' || before == '.'
               || (before >= 'a' && before <= 'z' && text[i] >= 'A' && text[i] <= 'Z');
    }

private:
    void prepareAscii(const QString &text);
    void prepareUnicode(const QString &text);
    void setWordStart(qsizetype position, bool wordStart);

    QString m_keys;            // lowered, canonically decomposed characters, back to back
    QList<qsizetype> m_ends;   // end of each character in m_keys; empty when isSimple()
    // One flag per lowered character: bits for the first 64, which is all most names and paths
    // need, and a byte each for the rest.
    quint64 m_firstWordStarts = 0;
    QByteArray m_laterWordStarts;
    qsizetype m_length = 0;
    quint64 m_mask = 0;
};
