#include "platform/index/TrackerIndex.h"

#include "platform/system/SharedLibrary.h"

#include <QFileInfo>

#include <libtracker-sparql/tracker-sparql.h>
#include <optional>

namespace TrackerIndex {

const char filesService[] = "org.freedesktop.Tracker3.Miner.Files";

namespace {

#define QVMB_TRACKER_FUNCTIONS(X)                                                                            \
    X(tracker_sparql_connection_bus_new)                                                                     \
    X(tracker_sparql_connection_query)                                                                       \
    X(tracker_sparql_connection_close)                                                                       \
    X(tracker_sparql_cursor_next)                                                                            \
    X(tracker_sparql_cursor_get_string)                                                                      \
    X(tracker_sparql_cursor_get_integer)                                                                     \
    X(tracker_sparql_cursor_close)                                                                           \
    X(g_object_unref)                                                                                        \
    X(g_error_free)

struct TrackerApi {
#define QVMB_TRACKER_POINTER(name) decltype(&::name) name = nullptr;
    QVMB_TRACKER_FUNCTIONS(QVMB_TRACKER_POINTER)
#undef QVMB_TRACKER_POINTER
};

std::optional<TrackerApi> resolve() {
    static const SharedLibrary library({"libtracker-sparql-3.0.so.0"});
    TrackerApi api;
    bool complete = true;
#define QVMB_TRACKER_RESOLVE(name)                                                                           \
    {                                                                                                        \
        void* address = library.symbol(#name);                                                               \
        api.name = reinterpret_cast<decltype(api.name)>(address);                                            \
        complete = complete && address != nullptr;                                                           \
    }
    QVMB_TRACKER_FUNCTIONS(QVMB_TRACKER_RESOLVE)
#undef QVMB_TRACKER_RESOLVE
    if (!complete) {
        return std::nullopt;
    }
    return api;
}

const TrackerApi* load() {
    static const std::optional<TrackerApi> api = resolve();
    return api ? &*api : nullptr;
}

class CursorRow : public Row {
public:
    CursorRow(const TrackerApi& api, TrackerSparqlCursor* cursor)
        : _api(api)
        , _cursor(cursor) {}
    QString text(int column) const override {
        glong length = 0;
        const gchar* text = _api.tracker_sparql_cursor_get_string(_cursor, column, &length);
        return text == nullptr ? QString() : QString::fromUtf8(text, static_cast<qsizetype>(length));
    }
    qint64 integer(int column) const override {
        return _api.tracker_sparql_cursor_get_integer(_cursor, column);
    }

private:
    const TrackerApi& _api;
    TrackerSparqlCursor* _cursor;
};

} // namespace

bool hasSessionBus() {
    // GIO would otherwise start a bus of its own to ask.
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

bool query(const QString& service, const QString& sparql,
           const std::function<bool(const Row& row)>& handler) {
    const TrackerApi* api = load();
    if (api == nullptr || !hasSessionBus()) {
        return false;
    }
    GError* error = nullptr;
    TrackerSparqlConnection* connection =
        api->tracker_sparql_connection_bus_new(service.toUtf8().constData(), nullptr, nullptr, &error);
    if (connection == nullptr) {
        if (error != nullptr) {
            api->g_error_free(error);
        }
        return false;
    }
    TrackerSparqlCursor* cursor =
        api->tracker_sparql_connection_query(connection, sparql.toUtf8().constData(), nullptr, &error);
    bool complete = cursor != nullptr;
    if (cursor != nullptr) {
        const CursorRow row(*api, cursor);
        while (api->tracker_sparql_cursor_next(cursor, nullptr, &error)) {
            if (!handler(row)) {
                complete = false;
                break;
            }
        }
        complete = complete && error == nullptr;
        api->tracker_sparql_cursor_close(cursor);
        api->g_object_unref(cursor);
    }
    if (error != nullptr) {
        api->g_error_free(error);
    }
    api->tracker_sparql_connection_close(connection);
    api->g_object_unref(connection);
    return complete;
}

} // namespace TrackerIndex
