#include "ZarvoPad.h"

#include <algorithm>

// Holding the undo or redo button walks single steps for the first ten
// repeats and then jumps between multiples of five; a menu step is always
// a single step (even right after held window keys left the count high)
// and ends the acceleration.

int UndoTarget(int moveIndex, int &repeatCount, bool fromMenuItem)
{
    int n = std::max(0, moveIndex - 1);
    ++repeatCount;
    if (repeatCount > 10 && !fromMenuItem)
        n = (n / 5) * 5;
    if (n == 0 || fromMenuItem)
        repeatCount = 0;
    return n;
}

int RedoTarget(int moveIndex, int entryCount, int &repeatCount, bool fromMenuItem)
{
    const int last = std::max(0, entryCount - 1);
    int n = moveIndex + 1;
    ++repeatCount;
    if (repeatCount > 10 && !fromMenuItem)
        n = ((n + 4) / 5) * 5;
    n = std::min(n, last);
    if (n == last || fromMenuItem)
        repeatCount = 0;
    return n;
}
