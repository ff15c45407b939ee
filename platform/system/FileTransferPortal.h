#pragma once

#include <QDBusConnection>

class QMimeData;

// Drags into sandboxed applications. A sandboxed target cannot open the paths
// of a plain file drag; the desktop's file transfer portal
// (org.freedesktop.portal.FileTransfer, on the document portal) hands it the
// files instead, given a key the source registered them under. Where the
// portal is on the session bus, a drag's files are registered and the key
// offered beside the URLs; elsewhere the drag is as it was.
class FileTransferPortal {
public:
    // The data type a drag offers the key as.
    static const char KeyType[];

    // The portal on the session bus (a connection of its own, which lives as
    // long as the process: the portal drops a transfer when its owner leaves).
    static FileTransferPortal& sessionPortal();

    // The portal on bus.
    explicit FileTransferPortal(const QDBusConnection& bus);

    // Registers the local files of data's URLs for one transfer, read-only,
    // ending once a target has retrieved them, and adds its key to data as
    // KeyType. Answers whether it did; when the portal is not on the bus, or
    // does not answer in time, data is left as it was.
    bool offerFiles(QMimeData* data);

private:
    bool available();

    QDBusConnection _bus;
    enum class State { Unknown, Available, Unavailable } _state = State::Unknown;
};
