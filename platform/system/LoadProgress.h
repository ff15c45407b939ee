#pragma once

// The reader's side of a load: how far it got and whether anyone still wants
// the result. Every reader of a folder or catalogue is handed one, checks
// isCancelled() between steps (a directory entry, a chunk of XML, a batch of
// database rows) and reports the fraction read. Safe to use from the reading
// thread. The base reports nowhere and is never cancelled.
class LoadProgress {
public:
    virtual ~LoadProgress();
    // Reports the fraction read so far, 0 to 1.
    virtual void setFraction(double fraction);
    // Whether the load was abandoned: a reader may stop early and return anything.
    virtual bool isCancelled() const;
};
