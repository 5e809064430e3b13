#pragma once
// A read lease on a file that a move across file systems copies and then deletes. The kernel
// grants it only while nobody has the file open for writing (a shared writable mapping counts,
// even after its descriptor is closed), and breaks it as soon as anybody opens the file for
// writing or truncates it. Held from before the copy until after the deletion, it tells for
// certain whether the original may go: writes that change neither size nor times, such as an
// in-place rewrite or stores into an already dirty mapped page, are caught as well.
//
// Where there is no lease (a file system without them, a file owned by someone else without
// the privilege to lease it, or no descriptor left to hold it), the mover falls back on
// comparing size and times.

#include "uniquefd.h"

class ReadLease
{
public:
    enum class Outcome { held, writerPresent, unavailable };

    // Tries to lease the file open (read-only) at `fd`; the lease keeps a descriptor of its own.
    static ReadLease take(int fd);

    Outcome outcome() const { return m_outcome; }
    // True while the lease is held and no writer has come. A broken lease is released at once,
    // so the writer waiting for it can go on.
    bool intact();

private:
    explicit ReadLease(Outcome outcome, UniqueFd fd = {}) : m_outcome(outcome), m_fd(std::move(fd)) {}

    Outcome m_outcome;
    UniqueFd m_fd;
};
