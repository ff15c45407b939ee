#pragma once

#include <QString>

#include <functional>
#include <memory>

// Notifications between all of the user's running copies of the library, over
// the D-Bus session bus. A posted name reaches every observer of that name in
// every running copy, the posting one included, later, on its main event loop.
// Without a session bus the centre does nothing: posts go nowhere and
// observers are never called (no bus daemon is ever started for it).
class DistributedNotificationCenter {
public:
    static DistributedNotificationCenter& defaultCenter();

    // Each centre is one connection to the bus: the process normally uses
    // defaultCenter(); tests make several to stand for several processes.
    DistributedNotificationCenter();
    ~DistributedNotificationCenter();
    DistributedNotificationCenter(const DistributedNotificationCenter&) = delete;
    DistributedNotificationCenter& operator=(const DistributedNotificationCenter&) = delete;

    void addObserver(const void* observer, const QString& name, std::function<void()> callback);
    // Removes the observer's registrations for name, or all of them for an empty name.
    void removeObserver(const void* observer, const QString& name = {});
    void postNotification(const QString& name);

    // True when a session bus was found and joined.
    bool isConnected();

private:
    class Private;
    std::unique_ptr<Private> d;
};
