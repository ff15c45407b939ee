#pragma once

#include "model/FolderMerge.h"
#include "model/MediaFolder.h"
#include "model/SourceWatch.h"

#include <memory>

// A folder that reads a source — a directory, a catalogue — and follows it:
// the life cycle every kind of source shares, written once. A kind only says
// how to read itself (reader(), a self-contained step that runs on a worker
// with a LoadProgress) and what to follow (watchTargets()).
//
//  1. Watch first, then read: the source is followed from before the first
//     read, so a change made while it is read is not lost.
//  2. Read on a worker, publish on the main thread in one step.
//  3. A change while reading marks the folder dirty; it reads again once the
//     read under way is published. Changes while idle start a read at once.
//  4. Every read after the first is merged (FolderMerge, on the worker): the
//     items and sub-folders that remain stay the same objects, and only what
//     changed is posted, so the outline and lists apply it in place.
//  5. A read that fails keeps what the folder shows; only a folder that was
//     never read says it failed. A read that shows nothing new is dropped.
//  6. A read no longer wanted (the folder went, the application quits) is
//     cancelled through its LoadProgress.
class SourceFolder : public MediaFolder {
public:
    ~SourceFolder() override;

    // Starts following the source and its first read on a worker when an
    // event loop runs; otherwise reads now. Nothing when loaded or loading.
    void loadInBackground() override;
    LoadState loadState() const override { return _state; }
    int loadPercent() const override;
    // Reads the loaded source again on a worker and merges what it finds; a
    // request while reading reads once more after.
    void reloadInBackground();
    // Whether a read is under way.
    bool isReading() const { return _job != nullptr; }
    // What the last merged read changed in the items.
    const FolderMerge::ItemChanges& lastChanges() const { return _lastChanges; }

protected:
    SourceFolder(const QString& name, const QImage& icon);

    // Hook: the reading step, holding copies of everything it needs.
    virtual MediaFolderReader reader() const = 0;
    // Hook: what the source is read from; none (the default): not followed.
    virtual SourceWatch::Targets watchTargets() const { return {}; }
    // Hook: a read was published on the main thread (the first, or a merged one).
    virtual void didPublish() {}
    // Hook: whether an item can be placed by the user's order now, without
    // reading its file on the main thread. Yes by default.
    virtual bool canBeOrdered(MediaItem&) const { return true; }

    // Reads now, on the calling thread, or takes the read under way.
    void loadFolder() override;

private:
    void startWatching();
    void startRead();
    void sourceChanged();
    void deliver();
    // Takes a read: the first into the empty folder, later ones merged.
    void publish(MediaFolderContents&& contents, bool first);
    void setState(LoadState state);
    // Posts the load state when it differs from the one last posted.
    void announceState();

    std::shared_ptr<FolderLoadJob> _job;
    bool _dirty = false;
    bool _everRead = false;
    LoadState _state = LoadState::NotLoaded;
    LoadState _announcedState = LoadState::NotLoaded;
    FolderMerge::ItemChanges _lastChanges;
    SourceWatch _watch;
};
