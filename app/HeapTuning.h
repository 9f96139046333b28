#pragma once

// Called first in main: lets the C library keep freed heap for the next title text
// instead of handing it back to the system and faulting it in again.
void keepFreedHeapForReuse();
