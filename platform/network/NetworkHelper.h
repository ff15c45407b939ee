#pragma once

#include "platform/network/HelperProtocol.h"
#include "platform/system/LoadProgress.h"

#include <QString>

class QObject;

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// The library's end of the network helper process (qvmb-network): it starts
// the helper on first use, sends it requests, and hands each answer to the
// thread that waits for it. Media servers, shares and remote files are all
// reached through it, so GUPnP, libsoup 3 and gvfs's modules never load in
// the host's process, and a hostile server's answer can crash only the
// helper. A helper that ends is started again by the next request (not more
// often than every few seconds); whatever waited on it fails.
//
// Requests block the calling thread (a loader or a picture decoder, never
// the main thread), which may give up through its LoadProgress. The
// helper's events (servers found and gone, the helper's end) reach the main
// thread through eventHandler.
class NetworkHelper {
public:
    using Message = HelperProtocol::Message;

    // The process's helper client, never destroyed. Make it first on the
    // main thread (its events are delivered there).
    static NetworkHelper& shared();

    // Where the helper program is: $QVMB_NETWORK_HELPER, else beside the
    // library (the build tree), else the library's libexec folder. Empty
    // when none is there.
    static QString programPath();

    // Whether the helper runs or could be started now.
    bool ensureRunning();
    // Has the helper look for media servers (now, and whenever it is started
    // again), or stop looking and forget them.
    void setDiscovery(bool discover);

    struct Answer {
        bool ok = false;
        Message message; // the final answer (page, data or done) when ok
        QString failure; // why not, when not ok
    };
    // Sends request (its second field, the request number, is filled in) and
    // waits for its final answer. partial receives the answers that come
    // before it (progress, a listing's entries) on the calling thread. The
    // wait ends early, failed, when progress is cancelled, when the helper
    // says nothing for silence, or when the helper ends.
    Answer request(Message request, LoadProgress& progress, std::chrono::milliseconds silence,
                   const std::function<void(const Message&)>& partial = {});

    // Runs on the main thread for each server event (kServer, kServerGone)
    // and, with the single field "ended", when the helper has ended.
    void setEventHandler(std::function<void(const Message&)> handler);

    // How many times the helper was started (tests).
    int starts() const;
    // The helper's process id, or 0 (tests and benchmarks).
    int processId() const;

private:
    struct Pending;

    NetworkHelper();
    bool startLocked();
    bool writeLocked(const Message& message);
    void readLoop(int fd, int generation);
    void ended(int generation);
    void postEvent(Message message);
    void deliverEvents();

    mutable std::mutex _mutex;
    int _pid = 0;
    int _toHelper = -1;
    int _generation = 0;
    int _starts = 0;
    bool _discover = false;
    std::chrono::steady_clock::time_point _lastStart;
    std::uint64_t _nextRequest = 0;
    std::map<std::string, std::shared_ptr<Pending>> _pending;

    std::mutex _eventMutex;
    std::deque<Message> _events;
    std::function<void(const Message&)> _eventHandler; // main thread only
    QObject* _receiver = nullptr;                      // lives on the main thread; wakes it for events
};
