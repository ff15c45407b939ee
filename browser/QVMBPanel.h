#pragma once

#include <QWidget>

// The browser's window: a floating tool window. Its one shortcut, the
// platform's Preferences key (Ctrl+, here), opens the preferences window from
// wherever the focus is inside it; every other key goes on as usual.
class QVMBPanel : public QWidget {
    Q_OBJECT
public:
    explicit QVMBPanel(QWidget* parent = nullptr);
};
