#pragma once
// Text cut into user-perceived characters (extended grapheme clusters) by ICU's character
// break rules. Qt's own boundary finder on this platform cuts some of them apart: an emoji
// after Thai text into lone surrogates, a mark after an Indic letter, a flag after an emoji.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class Graphemes
{
public:
    // The characters of `text`, in order.
    static QStringList split(const QString &text);
    // Where each character of `text` ends, in UTF-16 units, in order.
    static QList<qsizetype> ends(QStringView text);
};
