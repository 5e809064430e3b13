#pragma once
// Large buffers made ready in one go. The kernel maps a fresh page of memory on its first touch,
// one fault at a time; in a virtual machine each fault can cost more than filling the page does.
// Asking for a whole buffer's pages at once costs a fraction of that. Where the kernel can't, the
// pages come on first touch as usual.

#include <cstddef>

void prefault(const void *data, size_t bytes);

// Reserves room for `count` elements in a std::vector or QList and makes its pages ready.
template<typename Container>
void reservePrefaulted(Container &container, size_t count)
{
    container.reserve(decltype(container.size())(count));
    prefault(container.data(), size_t(container.capacity()) * sizeof(*container.data()));
}
