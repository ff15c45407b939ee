#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// Makes sure that one copy of the program runs per user and home directory.
// The first copy listens on a local socket; a later copy hands its request
// to the first and should exit at once.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Answers true when this process is the one copy from now on. Otherwise
    // the running copy has been asked to come forward and this one should exit.
    bool claim();
    // The same without disturbing a running copy: false when one runs.
    bool claimQuietly();

    static QString defaultKey();

Q_SIGNALS:
    // Another copy was started while this one runs.
    void reopenRequested();

private:
    bool claim(bool askToReopen);
    bool askRunningCopy(bool askToReopen);

    QString _key;
    QLockFile _lock;
    std::unique_ptr<QLocalServer> _server;
};
