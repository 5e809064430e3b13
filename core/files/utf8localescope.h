#pragma once
// Makes the calling thread use a UTF-8 character type while it lives. libarchive converts entry
// names between the archive and the locale's character set; file names here are UTF-8 (as Qt
// reads them) even when the program runs under the plain C locale, where such a conversion
// would fail for every name that isn't ASCII.

#include <locale.h>

class Utf8LocaleScope
{
public:
    Utf8LocaleScope();
    ~Utf8LocaleScope();
    Utf8LocaleScope(const Utf8LocaleScope &) = delete;
    Utf8LocaleScope &operator=(const Utf8LocaleScope &) = delete;

private:
    locale_t m_utf8 = nullptr;
    locale_t m_previous = nullptr;
};
