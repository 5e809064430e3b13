#include "fuzzytext.h"

#include "fuzzymatcher.h"

bool FuzzyText::isPlainAscii(const QString &text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (units[i] >= 0x80)
            return false;
        if (units[i] == u'\r' && i + 1 < size && units[i + 1] == u'\n')
            return false;
    }
    return true;
}

// Letters and digits get a bit each, other ASCII shares 27 bits, everything else one bit.
quint64 FuzzyText::maskBit(char16_t unit)
{
    if (unit >= u'a' && unit <= u'z')
        return quint64(1) << (unit - u'a');
    if (unit >= u'0' && unit <= u'9')
        return quint64(1) << (26 + unit - u'0');
    if (unit < 0x80)
        return quint64(1) << (36 + unit % 27);
    return quint64(1) << 63;
}

FuzzyText::FuzzyText(const QString &text)
{
    if (isPlainAscii(text))
        prepareAscii(text);
    else
        prepareUnicode(text);
    for (const QChar unit : std::as_const(m_keys))
        m_mask |= maskBit(unit.unicode());
}

void FuzzyText::setWordStart(qsizetype position, bool wordStart)
{
    if (position < 64) {
        m_firstWordStarts |= quint64(wordStart) << position;
        return;
    }
    if (m_laterWordStarts.size() <= position - 64)
        m_laterWordStarts.resize(position - 63);
    m_laterWordStarts[position - 64] = wordStart ? 1 : 0;
}

QStringView FuzzyText::character(qsizetype position) const
{
    if (isSimple())
        return QStringView(m_keys).mid(position, 1);
    const qsizetype start = position == 0 ? 0 : m_ends.at(position - 1);
    return QStringView(m_keys).mid(start, m_ends.at(position) - start);
}

qsizetype FuzzyText::lengthOf(const QString &text)
{
    return isPlainAscii(text) ? text.size() : FuzzyMatcher::characters(text).size();
}

void FuzzyText::prepareAscii(const QString &text)
{
    const qsizetype size = text.size();
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    m_keys.resize(size);
    if (size > 64)
        m_laterWordStarts.resize(size - 64);
    char16_t *keys = reinterpret_cast<char16_t *>(m_keys.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = units[i];
        keys[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        setWordStart(i, startsAsciiWord(units, i));
    }
    m_length = size;
}

void FuzzyText::prepareUnicode(const QString &text)
{
    const QStringList original = FuzzyMatcher::characters(text);
    const QStringList lowered = FuzzyMatcher::characters(FuzzyMatcher::lowered(text));
    bool simple = true;
    m_ends.reserve(lowered.size());
    for (qsizetype i = 0; i < lowered.size(); ++i) {
        const QString key = FuzzyMatcher::key(lowered.at(i));
        simple = simple && key.size() == 1;
        m_keys += key;
        m_ends.append(m_keys.size());
        setWordStart(i, FuzzyMatcher::startsWord(original, i));
    }
    if (simple)
        m_ends.clear();
    m_length = original.size();
}
