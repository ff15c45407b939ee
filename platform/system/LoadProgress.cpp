#include "platform/system/LoadProgress.h"

LoadProgress::~LoadProgress() = default;

void LoadProgress::setFraction(double) {
}

bool LoadProgress::isCancelled() const {
    return false;
}
