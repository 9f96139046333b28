#pragma once

#include <QKeySequence>

// A menu shortcut as Windows codes it: the virtual key in the low byte, plus 0x2000 for
// Shift, 0x4000 for Ctrl and 0x8000 for Alt. Keys without a Qt counterpart give an empty
// sequence.
QKeySequence keySequenceFromShortcut(int code);
