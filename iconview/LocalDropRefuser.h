#pragma once

#include <QObject>

class QMimeData;

// While installed as an application event filter, makes every widget of the
// application refuse the drag that carries mimeData: items dragged out of the
// grid can be copied to other applications but dropped nowhere in this one.
class LocalDropRefuser : public QObject {
    Q_OBJECT
public:
    explicit LocalDropRefuser(const QMimeData* mimeData, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QMimeData* _mimeData; // not owned
};
