#pragma once

#include <QString>

class QTextDocument;

// Title files: the largest file loaded; anything bigger is treated as unreadable.
inline constexpr qint64 kMaxRtfFileSize = 256 * 1024 * 1024;

// Loads the file into doc as RTF, or as plain text when it is not RTF. Returns
// false and leaves doc untouched when the file is missing, unreadable or too large.
bool loadRtfFile(QTextDocument &doc, const QString &fileName);

// Writes doc as RTF through a temporary file that replaces fileName only once it
// is complete, so a failed save leaves the old file as it was. Returns false on
// failure, and then puts the system's reason, readable by the operator, into *error.
bool saveRtfFile(const QTextDocument &doc, const QString &fileName, QString *error = nullptr);
