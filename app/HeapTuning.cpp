#include "app/HeapTuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedHeapForReuse()
{
#if defined(__GLIBC__)
    // Loading a title builds tens of thousands of small text-document objects and frees
    // those of the last title. With glibc's default trim, that freed top of the heap went
    // back to the system each time and a 1 MB title paid over a thousand page faults;
    // 16 MB of pad keeps it (pages untouched since are never resident).
    constexpr int kTopPad = 16 * 1024 * 1024;
    mallopt(M_TOP_PAD, kTopPad);
#endif
}
