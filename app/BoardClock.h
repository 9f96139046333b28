#pragma once

class TPLNClock;

// The board's clock face, hands and size; the window only places it.
void setUpBoardClock(TPLNClock &clock);
