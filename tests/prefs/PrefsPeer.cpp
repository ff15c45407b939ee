// A stand-in for a running copy of the library: answers commands read line by
// line from standard input, one reply line each, so that tests can drive
// several processes sharing one preferences file and one session bus.
//
//   get                  -> {"pictures":[...],"music":[...],"movies":[...]}
//   set KIND JSON-ARRAY  -> ok          (KIND: pictures, music or movies)
//   sync                 -> ok
//   changes              -> number of change notifications seen so far
//   quit

#include "platform/system/NotificationCenter.h"
#include "prefs/UserPreferences.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

int changes = 0;

void reply(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void handle(const QString& line) {
    UserPreferences* prefs = UserPreferences::sharedPreferences();
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    if (command == QLatin1String("get")) {
        QJsonObject lists;
        lists.insert(QStringLiteral("pictures"), QJsonArray::fromStringList(prefs->picturePaths()));
        lists.insert(QStringLiteral("music"), QJsonArray::fromStringList(prefs->musicPaths()));
        lists.insert(QStringLiteral("movies"), QJsonArray::fromStringList(prefs->moviePaths()));
        reply(QJsonDocument(lists).toJson(QJsonDocument::Compact));
    } else if (command == QLatin1String("set")) {
        const QString kind = line.section(QLatin1Char(' '), 1, 1);
        const QJsonArray array = QJsonDocument::fromJson(line.section(QLatin1Char(' '), 2).toUtf8()).array();
        QStringList paths;
        for (const auto& value : array) {
            paths.append(value.toString());
        }
        if (kind == QLatin1String("pictures")) {
            prefs->setPicturePaths(paths);
        } else if (kind == QLatin1String("music")) {
            prefs->setMusicPaths(paths);
        } else {
            prefs->setMoviePaths(paths);
        }
        reply("ok");
    } else if (command == QLatin1String("sync")) {
        prefs->synchronize();
        reply("ok");
    } else if (command == QLatin1String("changes")) {
        reply(QByteArray::number(changes));
    } else if (command == QLatin1String("quit")) {
        QCoreApplication::quit();
    } else {
        reply("unknown command");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    NotificationCenter::defaultCenter().addObserver(&changes, UserPreferencesChanged, nullptr,
                                                    [](const Notification&) { ++changes; });
    UserPreferences::sharedPreferences();

    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            QCoreApplication::quit();
            return;
        }
        handle(QString::fromStdString(line));
    });
    return QCoreApplication::exec();
}
