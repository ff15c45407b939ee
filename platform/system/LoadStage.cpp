#include "platform/system/LoadStage.h"

#include <algorithm>

LoadStage::LoadStage(LoadProgress& whole, double from, double to)
    : _whole(whole)
    , _from(from)
    , _to(to) {
}

void LoadStage::setFraction(double fraction) {
    _whole.setFraction(_from + std::clamp(fraction, 0.0, 1.0) * (_to - _from));
}

bool LoadStage::isCancelled() const {
    return _whole.isCancelled();
}
