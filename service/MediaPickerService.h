#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

class BusServices;

// The browser's own picking interface on the session bus, for programs of any
// toolkit (see examples/pick-media.py):
//   Pick(as kinds, b multiple, s parent_window) -> (u response, as uris)
//     kinds: "pictures", "music", "movies" or MIME types of pictures, audio
//     and video ("image/png", "video/*"); none for every kind. The answer
//     comes when the user has chosen (response 0, the files' URIs) or
//     cancelled (response 1, no URIs): callers wait without a timeout.
//   Show(): brings the browser window forward.
class MediaPickerService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.qvmediabrowser.MediaPicker")
public:
    explicit MediaPickerService(BusServices* services);

public Q_SLOTS:
    Q_SCRIPTABLE uint Pick(const QStringList& kinds, bool multiple, const QString& parent_window,
                           QStringList& uris);
    Q_SCRIPTABLE void Show();

private:
    BusServices* _services;
};
