#include "network/MiniDlna.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <iostream>

namespace {

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

MiniDlna::MiniDlna(const QString& name, const QString& media, const QString& db, int port)
    : _name(name)
    , _media(media)
    , _db(db)
    , _port(port) {
}

MiniDlna::~MiniDlna() {
    stop();
}

QString MiniDlna::log() const {
    return readFile(_db + QStringLiteral("/minidlna.log"));
}

bool MiniDlna::start(int timeoutMs) {
    QDir().mkpath(_db);
    const QString marker = _db + QStringLiteral("/indexed");
    const bool indexed = QFile::exists(marker);
    QFile config(_db + QStringLiteral("/minidlna.conf"));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    // Announced every second, so that its announcements lapse twelve seconds
    // after it is killed; no watching of the folder, which never changes.
    config.write(QStringLiteral("media_dir=%1\ndb_dir=%2\nlog_dir=%2\nport=%3\nfriendly_name=%4\n"
                                "network_interface=lo\ninotify=no\nnotify_interval=1\n"
                                "serial=%5\nuuid=4d696e69-444c-164e-9d41-%6\n")
                     .arg(_media, _db)
                     .arg(_port)
                     .arg(_name)
                     .arg(_port)
                     .arg(_port, 12, 10, QLatin1Char('0'))
                     .toUtf8());
    config.close();
    QFile::remove(_db + QStringLiteral("/minidlna.log"));
    // A pid file left by a server that was killed would keep this one from starting.
    QFile::remove(_db + QStringLiteral("/pid"));
    _process = std::make_unique<QProcess>();
    _process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    _process->setStandardOutputFile(QProcess::nullDevice());
    QStringList arguments{QStringLiteral("-S"), QStringLiteral("-f"), config.fileName(), QStringLiteral("-P"),
                          _db + QStringLiteral("/pid")};
    if (!indexed) {
        arguments.append(QStringLiteral("-R"));
    }
    _process->start(QStringLiteral(QVMB_MINIDLNAD), arguments);
    if (!_process->waitForStarted(5000)) {
        return false;
    }
    // A database kept from before serves at once; a new one is ready once
    // the scan ends (the playlists are read last).
    const QString ready =
        indexed ? QStringLiteral("HTTP listening") : QStringLiteral("Finished parsing playlists");
    const bool started = QTest::qWaitFor([&] { return log().contains(ready); }, timeoutMs);
    if (!started) {
        std::cerr << "minidlnad did not get ready:\n" << log().toStdString() << std::endl;
        return false;
    }
    if (!indexed) {
        QFile(marker).open(QIODevice::WriteOnly);
    }
    return true;
}

void MiniDlna::signal(int number) {
    if (_process && _process->state() != QProcess::NotRunning) {
        ::kill(static_cast<pid_t>(_process->processId()), number);
    }
}

void MiniDlna::stop() {
    if (_process && _process->state() != QProcess::NotRunning) {
        signal(SIGCONT);
        _process->terminate();
        if (!_process->waitForFinished(5000)) {
            _process->kill();
            _process->waitForFinished(5000);
        }
    }
    _process.reset();
}

qint64 MiniDlna::processId() const {
    return _process ? _process->processId() : 0;
}
