#pragma once

#include "platform/system/LoadProgress.h"

#include <QtGlobal>

// One step of a load that has several (a file read, then its playlists put
// together): the step reports its own fraction, 0 to 1, which the whole load
// shows as its stretch from `from` to `to`; cancelling the load cancels it.
class LoadStage : public LoadProgress {
public:
    LoadStage(LoadProgress& whole, double from, double to);

    void setFraction(double fraction) override;
    bool isCancelled() const override;

    // Reports done of total records, telling the load every 1,024th record
    // only, so that a loop may call it for each of a million.
    void setCount(qint64 done, qint64 total) {
        if ((done & 1023) == 0 && total > 0) {
            setFraction(static_cast<double>(done) / static_cast<double>(total));
        }
    }

private:
    LoadProgress& _whole;
    double _from;
    double _to;
};
