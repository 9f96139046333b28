#include "platform/FileSync.h"

#include <QFileDevice>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

bool syncToDisk(QFileDevice &file)
{
    const int fd = file.handle();
    if (fd < 0)
        return false;
#if defined(Q_OS_WIN)
    return _commit(fd) == 0;
#elif defined(Q_OS_DARWIN)
    return fsync(fd) == 0;
#else
    return fdatasync(fd) == 0;
#endif
}
