#include "prefault.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

void prefault(const void *data, size_t bytes)
{
    // Below this, the few faults cost less than the call.
    constexpr size_t worthIt = 256 * 1024;
    if (bytes < worthIt)
        return;
    static const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
    // Only whole pages inside the buffer: the memory around it belongs to others.
    const uintptr_t begin = (uintptr_t(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (uintptr_t(data) + bytes) & ~(page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
}
