#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// The desktop's file index, Tracker 3, asked in SPARQL over D-Bus through
// libtracker-sparql, which is opened on first use: the program starts
// without it, and runs without it where it is not installed.
namespace TrackerIndex {

// The service of the desktop's file index.
extern const char filesService[];

// One row of answers, valid while the row handler runs.
class Row {
public:
    virtual ~Row() = default;
    // The text of a column, empty when the row has none there.
    virtual QString text(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
};

// Whether a session bus is there to ask (without starting one).
bool hasSessionBus();

// Asks the index at service (a D-Bus name) the query, handing each row to
// handler until it answers false. Answers whether every row was read: false
// when libtracker-sparql or the service is not there, the query failed, or
// the handler stopped.
bool query(const QString& service, const QString& sparql, const std::function<bool(const Row& row)>& handler);

} // namespace TrackerIndex
