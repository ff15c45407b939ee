#pragma once

#include <QProcess>
#include <QString>

#include <memory>

// A real media server for the tests: ReadyMedia (minidlnad) serving a media
// folder on the loopback interface of the test's own network namespace
// (tests/network/run-isolated). Its database is kept beside the media between
// runs, so only the first run waits for it to index thousands of files.
class MiniDlna {
public:
    // name: the friendly name it announces; db: its own folder for the
    // database and log; port: its HTTP port.
    MiniDlna(const QString& name, const QString& media, const QString& db, int port);
    ~MiniDlna();
    MiniDlna(const MiniDlna&) = delete;
    MiniDlna& operator=(const MiniDlna&) = delete;

    // Starts it and waits until it serves its whole folder; false when it
    // did not within timeoutMs (the log is printed then).
    bool start(int timeoutMs);
    // Sends a signal (SIGKILL: gone without a word; SIGSTOP: stops answering).
    void signal(int number);
    void stop();
    qint64 processId() const;
    QString log() const;

private:
    QString _name;
    QString _media;
    QString _db;
    int _port;
    std::unique_ptr<QProcess> _process;
};
