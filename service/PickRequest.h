#pragma once

#include "service/ParentWindow.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVMediaBrowser/QVMediaPicker.h>

// One picker opened for a caller on the bus: the dialog, the caller's window
// it stays above, and a watch on the caller, whose going away closes the
// picker. It answers once: chosen, cancelled, or closed without an answer.
class PickRequest : public QObject {
    Q_OBJECT
public:
    PickRequest(const QDBusConnection& bus, const QString& caller, QObject* parent = nullptr);
    ~PickRequest() override;

    QVMediaPicker& picker() { return *_picker; }

    // Shows the picker above the window parentWindow names (see ParentWindow).
    void open(const QString& parentWindow, bool modal);
    // Closes the picker without an answer.
    void close();

Q_SIGNALS:
    void chosen(const QList<QUrl>& urls);
    void cancelled();
    // The caller left the bus: the picker has closed, and no one is there to answer.
    void callerGone();

private:
    void pickerFinished(int result);

    QPointer<QVMediaPicker> _picker;
    ParentWindow _parent;
    QDBusServiceWatcher _watcher;
    bool _answered = false;
};
