#pragma once

#include <QMainWindow>

class DropList;

// The host's main window: a drop area and a menu that shows the media browser.
class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(QWidget* parent = nullptr);

    DropList* dropList() const { return _dropList; }

private:
    DropList* _dropList;
};
