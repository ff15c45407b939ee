#pragma once

#include <QObject>

class QMimeData;
class QWidget;

// While installed as an application event filter, makes every widget of the
// browser's window refuse the drag that carries mimeData: items dragged out of
// the browser can be copied anywhere but back into the browser. The host
// application's own windows live in the same process and take the drag like
// any other application's.
class LocalDropRefuser : public QObject {
    Q_OBJECT
public:
    // window: the browser window the drag starts in.
    LocalDropRefuser(const QMimeData* mimeData, const QWidget* window, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QMimeData* _mimeData; // not owned
    const QWidget* _window;     // not owned
};
