#include "platform/huge_pages.h"

#include <cstdint>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace rt {

void adviseHugePages(void *data, qsizetype bytes)
{
#ifdef Q_OS_LINUX
    // Only the huge pages wholly inside the block: the advice covers whole
    // pages, and a page shared with a neighbouring block is not ours.
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const auto size = std::uintptr_t(kHugePage);
    const std::uintptr_t from = (start + size - 1) / size * size;
    const std::uintptr_t to = (start + std::uintptr_t(bytes)) / size * size;
    if (bytes > 0 && to > from)
        madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

} // namespace rt
