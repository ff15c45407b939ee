#pragma once

#include "platform/system/LoadProgress.h"

#include <QtGlobal>

#include <algorithm>

// A reader's pass over database rows numbered by their ids: reports how far
// it got as the share of the highest id passed, and says when the load was
// abandoned. Asked every few thousand rows, so that asking costs nothing
// beside reading a row.
class RowProgress {
public:
    // The pass covers the part [from, to) of the whole read; ids run up to highestId.
    RowProgress(LoadProgress& progress, qint64 highestId, double from = 0.0, double to = 1.0)
        : _progress(progress)
        , _highestId(std::max<qint64>(highestId, 1))
        , _from(from)
        , _to(to) {
        _progress.setFraction(from);
    }

    // Call once per row with its id: false once the load is cancelled, and
    // from then on.
    bool next(qint64 id) {
        if ((++_rows & 4095) != 0 || _cancelled) {
            return !_cancelled;
        }
        _cancelled = _progress.isCancelled();
        const double share = std::clamp(static_cast<double>(id) / static_cast<double>(_highestId), 0.0, 1.0);
        _progress.setFraction(_from + (_to - _from) * share);
        return !_cancelled;
    }

    // Whether the load was found cancelled (asks now).
    bool cancelled() {
        _cancelled = _cancelled || _progress.isCancelled();
        return _cancelled;
    }

private:
    LoadProgress& _progress;
    qint64 _highestId;
    double _from;
    double _to;
    quint32 _rows = 0;
    bool _cancelled = false;
};
