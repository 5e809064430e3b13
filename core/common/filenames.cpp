#include "filenames.h"

#include <QStringDecoder>

#include <cstring>

namespace {

constexpr char16_t rawBase = 0xDC00; // bytes 0x80..0xFF map to U+DC80..U+DCFF

bool isRawByte(const QString &name, qsizetype i)
{
    const char16_t c = name.at(i).unicode();
    return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name.at(i - 1).isHighSurrogate());
}

bool isContinuation(uchar b, uchar low = 0x80, uchar high = 0xBF)
{
    return b >= low && b <= high;
}

// The length of the valid UTF-8 sequence at `p` (at most `left` bytes), 0 when there is none.
// Overlong forms, surrogates and code points above U+10FFFF are not valid.
int sequenceLength(const uchar *p, qsizetype left)
{
    const uchar b = p[0];
    if (b < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
        length = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (left < length || !isContinuation(p[1], low, high))
        return 0;
    for (int k = 2; k < length; ++k)
        if (!isContinuation(p[k]))
            return 0;
    return length;
}

char32_t codePoint(const uchar *p, int length)
{
    switch (length) {
    case 1: return p[0];
    case 2: return char32_t(p[0] & 0x1F) << 6 | (p[1] & 0x3F);
    case 3: return char32_t(p[0] & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    default: return char32_t(p[0] & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    }
}

QString decodeWithRawBytes(const uchar *bytes, qsizetype size)
{
    QString name;
    name.reserve(size);
    for (qsizetype i = 0; i < size;) {
        const int length = sequenceLength(bytes + i, size - i);
        if (length == 0) {
            name.append(QChar(char16_t(rawBase + bytes[i])));
            ++i;
            continue;
        }
        name.append(QChar::fromUcs4(codePoint(bytes + i, length)));
        i += length;
    }
    return name;
}

} // namespace

QString FileNames::decode(const char *bytes, qsizetype size)
{
    if (size < 0)
        size = qsizetype(std::strlen(bytes));
    const auto *data = reinterpret_cast<const uchar *>(bytes);
    qsizetype ascii = 0;
    while (ascii < size && data[ascii] < 0x80)
        ++ascii;
    if (ascii == size)
        return QString::fromLatin1(bytes, size);
    // A byte-order mark at the start is part of the name, not a signal to drop.
    const bool startsWithBom = size >= 3 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf;
    if (!startsWithBom && QByteArrayView(bytes + ascii, size - ascii).isValidUtf8())
        return QString::fromUtf8(bytes, size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString name = utf8(QByteArrayView(bytes, size));
    if (!utf8.hasError())
        return name;
    return decodeWithRawBytes(data, size);
}

bool FileNames::hasRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isRawByte(name, i))
            return true;
    return false;
}

QByteArray FileNames::encode(const QString &name)
{
    if (!hasRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isRawByte(name, i))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        bytes += char(name.at(i).unicode() - rawBase);
        start = i + 1;
    }
    bytes += QStringView(name).mid(start).toUtf8();
    return bytes;
}

QString FileNames::displayName(const QString &name)
{
    if (!hasRawBytes(name))
        return name;
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i)
        if (isRawByte(name, i))
            shown[i] = QChar::ReplacementCharacter;
    return shown;
}

std::pair<QString, QString> FileNames::splitExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == name.size() - 1)
        return {name, QString()};
    return {name.left(dot), name.mid(dot + 1)};
}
