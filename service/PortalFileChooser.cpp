#include "service/PortalFileChooser.h"

#include "service/BusServices.h"
#include "service/OpenFileOptions.h"
#include "service/PickRequest.h"
#include "service/PortalBackends.h"
#include "service/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVMediaBrowser/QVMediaPicker.h>

#include <limits>

namespace {

const QString kInvalidArgument = QStringLiteral("org.freedesktop.portal.Error.InvalidArgument");
const QString kFailed = QStringLiteral("org.freedesktop.portal.Error.Failed");
const QString kRequestInterface = QStringLiteral("org.freedesktop.impl.portal.Request");

// The responses of the portal's Request.Response.
enum Response : uint { Success = 0, Cancelled = 1, Ended = 2 };

// A person may take any time to choose: calls to the other backend wait as
// long as the caller does.
constexpr int kNoTimeout = std::numeric_limits<int>::max();

} // namespace

PortalFileChooser::PortalFileChooser(BusServices* services)
    : QObject(services)
    , _services(services) {
    PortalFilter::registerTypes();
}

uint PortalFileChooser::OpenFile(const QDBusObjectPath& handle, const QString&, const QString& parent_window,
                                 const QString& title, const QVariantMap& options, QVariantMap&) {
    QString error;
    const std::optional<OpenFileOptions> read = OpenFileOptions::read(options, &error);
    if (!read) {
        sendErrorReply(kInvalidArgument, error);
        return Ended;
    }
    const std::optional<QStringList> types = read->mediaTypes();
    if (!types) {
        handOn();
        return Ended;
    }

    const QString caller = message().service();
    auto* request = _services->startRequest(caller);
    if (request == nullptr) {
        sendErrorReply(kFailed, QStringLiteral("Too many pickers are open"));
        return Ended;
    }
    auto* closer = new PortalRequest(connection(), handle.path(), caller, request);
    if (!closer->isRegistered() || !request->picker().setMediaTypes(*types)) {
        _services->endRequest(request);
        sendErrorReply(kFailed, QStringLiteral("The request's handle is not usable"));
        return Ended;
    }
    QVMediaPicker& picker = request->picker();
    if (!title.isEmpty()) {
        picker.setWindowTitle(title);
    }
    picker.setMultipleSelection(read->multiple);
    picker.setAcceptLabel(read->acceptLabel);

    setDelayedReply(true);
    const QDBusMessage call = message();
    QDBusConnection bus = connection();
    auto answer = [this, request, call, bus](uint response, const QVariantMap& results) mutable {
        bus.send(call.createReply(QVariantList{response, results}));
        _services->endRequest(request);
    };
    connect(request, &PickRequest::chosen, this, [answer, read](const QList<QUrl>& urls) mutable {
        QStringList uris;
        for (const QUrl& url : urls) {
            uris.append(url.toString(QUrl::FullyEncoded));
        }
        QVariantMap results{{QStringLiteral("uris"), uris}};
        if (const std::optional<PortalFilter> filter = read->filterFor(urls)) {
            results.insert(QStringLiteral("current_filter"), QVariant::fromValue(*filter));
        }
        answer(Success, results);
    });
    connect(request, &PickRequest::cancelled, this, [answer]() mutable { answer(Cancelled, {}); });
    connect(closer, &PortalRequest::closeRequested, this, [answer]() mutable { answer(Ended, {}); });
    connect(request, &PickRequest::callerGone, this, [this, request] { _services->endRequest(request); });
    request->open(parent_window, read->modal);
    return Ended;
}

uint PortalFileChooser::SaveFile(const QDBusObjectPath&, const QString&, const QString&, const QString&,
                                 const QVariantMap&, QVariantMap&) {
    handOn();
    return Ended;
}

uint PortalFileChooser::SaveFiles(const QDBusObjectPath&, const QString&, const QString&, const QString&,
                                  const QVariantMap&, QVariantMap&) {
    handOn();
    return Ended;
}

void PortalFileChooser::handOn() {
    const QString backend = PortalBackends::otherFileChooser(QLatin1String(BusServices::PortalServiceName));
    if (backend.isEmpty()) {
        sendErrorReply(kFailed, QStringLiteral("No other file chooser is installed for this request"));
        return;
    }
    const QDBusMessage call = message();
    QDBusConnection bus = connection();
    const QString handle = call.arguments().value(0).value<QDBusObjectPath>().path();
    QDBusMessage forward = QDBusMessage::createMethodCall(
        backend, QLatin1String(BusServices::PortalObjectPath), call.interface(), call.member());
    forward.setArguments(call.arguments());
    setDelayedReply(true);

    // Closing the request closes the other backend's dialog.
    auto* closer = new PortalRequest(bus, handle, call.service());
    connect(closer, &PortalRequest::closeRequested, closer, [bus, backend, handle]() mutable {
        bus.asyncCall(
            QDBusMessage::createMethodCall(backend, handle, kRequestInterface, QStringLiteral("Close")));
    });
    _services->startHandingOn();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(forward, kNoTimeout), closer);
    connect(watcher, &QDBusPendingCallWatcher::finished, closer,
            [this, bus, call, closer](QDBusPendingCallWatcher* done) mutable {
                const QDBusMessage reply = done->reply();
                if (reply.type() == QDBusMessage::ReplyMessage) {
                    bus.send(call.createReply(reply.arguments()));
                } else {
                    bus.send(call.createErrorReply(reply.errorName(), reply.errorMessage()));
                }
                closer->deleteLater();
                _services->endHandingOn();
            });
}
