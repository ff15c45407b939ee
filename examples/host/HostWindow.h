#pragma once

#include <QMainWindow>

class DropList;
class QVMediaBrowserWidget;

// The host's main window: a list that takes what the user drags out of the
// media browser or picks with it, the browser's contents in a side panel
// (picking: a double-click or Enter adds to the list), and a menu that shows
// the floating browser or opens a picker.
class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(QWidget* parent = nullptr);

    DropList* dropList() const { return _dropList; }
    QVMediaBrowserWidget* mediaPanel() const { return _mediaPanel; }

    // Opens the modal picker for pictures and adds what the user chose.
    void addPictures();

private:
    DropList* _dropList;
    QVMediaBrowserWidget* _mediaPanel;
};
