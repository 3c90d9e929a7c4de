#include "project/BackgroundIds.h"

int BackgroundIds::IdOfIndex(int index) {
    if (index < 0 || index >= kCount) return -1;
    if (index <= 7) return index;
    if (index == 8) return 9;
    return index + 2;
}

int BackgroundIds::IndexOfId(int id) {
    if (id < 0 || id > kLast || id == 8 || id == 10) return -1;
    if (id <= 7) return id;
    if (id == 9) return 8;
    return id - 2;
}

int BackgroundIds::Next(int id) {
    if (id == 7) return 9;
    if (id == 9) return 11;
    if (id >= kLast) return -1;
    return id + 1;
}

int BackgroundIds::Allocate(int& nextFree) {
    if (IndexOfId(nextFree) < 0) return -1;
    const int id = nextFree;
    const int next = Next(id);
    // After 64 the counter stays past the list, so every later request is refused.
    nextFree = next < 0 ? kLast + 1 : next;
    return id;
}
