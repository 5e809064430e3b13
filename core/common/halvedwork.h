#pragma once
// Work over a large range shared with one more thread: [half, count) runs on a thread of its
// own while this thread does [0, half), and both are done on return. A small range is done here
// alone, where starting a thread would cost more than it saves. The work must not throw.

#include <cstddef>
#include <thread>

template<typename Work>
void inTwoHalves(size_t count, size_t sharedMinimum, const Work &work)
{
    if (count < sharedMinimum) {
        work(size_t(0), count);
        return;
    }
    const size_t half = count / 2;
    std::jthread other([&work, half, count] { work(half, count); });
    work(size_t(0), half);
}
