#pragma once

#include <QFont>
#include <QString>

// The layout names Windows fonts; each maps once to a free font of the same metrics,
// at the layout's character height in pixels.
QFont boardFont(const QString &family, int pixelHeight, bool bold = false);
