#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

// A file of a media server or a share fetched into the browser's cache
// folder (RemoteFiles::cacheFolder()), for an application that wants a local
// file: what is dragged out of the browser. It is written under a temporary
// name and renamed once whole, so that a file in its final place is always
// complete; one fetched before is used again as it is. The transfer runs in
// the network helper; this object follows it on the main thread.
class RemoteDownload : public QObject {
    Q_OBJECT
public:
    // Starts fetching url into the cache under fileName (see RemoteFiles::fileNameFor).
    RemoteDownload(const QUrl& url, const QString& fileName, QObject* parent = nullptr);
    // Cancels a transfer still running.
    ~RemoteDownload() override;

    // Where the file is, once done: <cache>/<digest of the URL>/<fileName>.
    QString path() const { return _path; }
    bool isDone() const;
    bool hasFailed() const;
    bool isFinished() const { return isDone() || hasFailed(); }
    qint64 received() const;
    qint64 total() const; // 0 when unknown
    void cancel();

Q_SIGNALS:
    void progressChanged();
    void finished(); // done or failed

private:
    struct State;
    void poll();

    QUrl _url;
    QString _path;
    std::shared_ptr<State> _state;
    QTimer _poll;
    bool _told = false;
};
