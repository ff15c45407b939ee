#include "service/MediaPickerService.h"

#include "service/BusServices.h"
#include "service/PickRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVMediaBrowser/QVMediaPicker.h>

namespace {
// More kinds than any caller needs: a longer list is refused unread.
constexpr qsizetype kMaxKinds = 64;
const QString kInvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
} // namespace

MediaPickerService::MediaPickerService(BusServices* services)
    : QObject(services)
    , _services(services) {
}

uint MediaPickerService::Pick(const QStringList& kinds, bool multiple, const QString& parent_window,
                              QStringList&) {
    if (kinds.size() > kMaxKinds) {
        sendErrorReply(kInvalidArgs, QStringLiteral("More than %1 kinds").arg(kMaxKinds));
        return 0;
    }
    auto* request = _services->startRequest(message().service());
    if (request == nullptr) {
        sendErrorReply(QDBusError::LimitsExceeded, QStringLiteral("Too many pickers are open"));
        return 0;
    }
    if (!request->picker().setMediaTypes(kinds)) {
        _services->endRequest(request);
        sendErrorReply(kInvalidArgs,
                       QStringLiteral("Kinds are \"pictures\", \"music\", \"movies\" or MIME types "
                                      "of pictures, audio or video"));
        return 0;
    }
    request->picker().setMultipleSelection(multiple);
    setDelayedReply(true);
    const QDBusMessage call = message();
    QDBusConnection bus = connection();
    auto answer = [this, request, call, bus](uint response, const QStringList& uris) mutable {
        bus.send(call.createReply(QVariantList{response, uris}));
        _services->endRequest(request);
    };
    connect(request, &PickRequest::chosen, this, [answer](const QList<QUrl>& urls) mutable {
        QStringList uris;
        for (const QUrl& url : urls) {
            uris.append(url.toString(QUrl::FullyEncoded));
        }
        answer(0, uris);
    });
    connect(request, &PickRequest::cancelled, this, [answer]() mutable { answer(1, {}); });
    connect(request, &PickRequest::callerGone, this, [this, request] { _services->endRequest(request); });
    request->open(parent_window, true);
    return 0;
}

void MediaPickerService::Show() {
    Q_EMIT _services->showRequested();
}
