#pragma once

#include <QString>

// One figure of the board: the value is the source of truth, the text is what the
// board shows. The text is not always derived afresh: switching tie-break mode keeps
// the old text until the next change of the value.
struct ScoreField
{
    int Tag = -1;
    QString Text;

    bool operator==(const ScoreField &) const = default;
};
