#pragma once

#include <QLockFile>
#include <QString>

class Court;

// One board per data folder: a second board on the same folder would write into the first
// one's journal, end it and record a match still being played. A lock left by a board that
// was killed is taken over.
class DataFolderLock
{
public:
    static constexpr auto kFileName = "courtlyx.lock";

    explicit DataFolderLock(const QString &folder);

    // True when this board may use the folder. A folder that cannot hold a lock at all (no
    // rights, no disk) does not stop the board: the journal says what it cannot keep.
    bool take();
    // Why take() refused, in the board's words: which court and folder are in use, and how
    // another court starts.
    QString refusal(const Court &court) const;

private:
    QString folder_;
    QLockFile lock_;
};
