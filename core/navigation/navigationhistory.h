#pragma once
// The back/forward history of one tab: where it is, where it was, and what "back" left behind.
// A plain value: it never looks at the disk, and URLs compare as values (no normalisation).

#include <QList>
#include "filepath.h"

class NavigationHistory
{
public:
    explicit NavigationHistory(FilePath start) : m_current(std::move(start)) {}

    [[nodiscard]] const FilePath &current() const { return m_current; }
    [[nodiscard]] bool canGoBack() const { return !m_back.isEmpty(); }
    [[nodiscard]] bool canGoForward() const { return !m_forward.isEmpty(); }

    // A new visit: the current place joins the back list and the forward list is dropped.
    // Visiting the current place again changes nothing, so a reload keeps "forward".
    void navigate(const FilePath &url);
    // Each steps one place if it can; the caller reads current() afterwards.
    void goBack();
    void goForward();

    friend bool operator==(const NavigationHistory &, const NavigationHistory &) = default;

private:
    FilePath m_current;
    QList<FilePath> m_back;    // most recent last
    QList<FilePath> m_forward; // next one forward last
};
