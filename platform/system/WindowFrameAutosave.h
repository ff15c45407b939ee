#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Keeps a window's position and size in the host application's settings under
// a name, and puts the window back there when it is next made.
class WindowFrameAutosave : public QObject {
    Q_OBJECT
public:
    // Restores window's saved frame now (if one is saved) and saves it whenever
    // the window is moved, resized or hidden. The object is owned by window.
    WindowFrameAutosave(QWidget* window, const QString& name);

    QString name() const { return _name; }
    // The settings key the frame is stored under.
    static QString settingsKey(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void save();

    QWidget* _window;
    QString _name;
};
