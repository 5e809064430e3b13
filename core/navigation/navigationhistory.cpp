#include "navigationhistory.h"

namespace {

// Moves the last place of `from` into `current`, leaving the old current place on `to`.
void step(QList<FilePath> &from, FilePath &current, QList<FilePath> &to)
{
    if (from.isEmpty())
        return;
    to.append(std::exchange(current, from.takeLast()));
}

} // namespace

void NavigationHistory::navigate(const FilePath &url)
{
    if (url == m_current)
        return;
    m_back.append(std::exchange(m_current, url));
    m_forward.clear();
}

void NavigationHistory::goBack()
{
    step(m_back, m_current, m_forward);
}

void NavigationHistory::goForward()
{
    step(m_forward, m_current, m_back);
}
