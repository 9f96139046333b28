#pragma once

class QFileDevice;

// Asks the operating system to put a file's written data on the disk itself, so that it
// survives a power cut: fdatasync on POSIX, _commit on Windows. The data must already have
// left the process (QFile::flush). False when the system reports a failure.
bool syncToDisk(QFileDevice &file);
