#pragma once
// Large blocks that are filled at once: a million plotted points or a
// loaded file's fields. Backed by 4 KB pages, such a block takes one page
// fault per page as it fills, and on some machines the faults cost more
// than the filling; backed by whole 2 MB pages it takes a few dozen.

#include <QtGlobal>

namespace rt {

// The size of one huge page.
inline constexpr qsizetype kHugePage = qsizetype(2) << 20;

// Asks the system to back the whole huge pages that lie inside the block
// by huge pages, best before anything is written to them. Only advice: it
// changes nothing the block holds, and where the system has no huge pages
// (or the block spans none) nothing happens.
void adviseHugePages(void *data, qsizetype bytes);

} // namespace rt
