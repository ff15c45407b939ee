#pragma once

#include "browser/QVMBListController.h"

#include <vector>

// A list controller that records the folders it is handed and whose play
// state the test sets.
class RecordingList : public QVMBListController {
public:
    std::vector<MediaFolder*> handed;
    bool playable = false;
    bool playing = false;
    int stops = 0;

    bool isPlaying() override { return playing; }
    bool canPlay() override { return playable; }

protected:
    void listChanged() override { handed.push_back(folder().get()); }
    void doPlay() override { playing = true; }
    void doStop() override {
        playing = false;
        ++stops;
    }
};
