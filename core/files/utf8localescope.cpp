#include "utf8localescope.h"

Utf8LocaleScope::Utf8LocaleScope()
{
    // Everything but the character type stays as the program's locale has it.
    const locale_t base = ::duplocale(LC_GLOBAL_LOCALE);
    if (!base)
        return;
    m_utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", base);
    if (!m_utf8) {
        ::freelocale(base);
        return;
    }
    m_previous = ::uselocale(m_utf8);
}

Utf8LocaleScope::~Utf8LocaleScope()
{
    if (!m_utf8)
        return;
    ::uselocale(m_previous);
    ::freelocale(m_utf8);
}
