#pragma once

#include "model/MediaFolder.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class QVMBListController;
struct Notification;

// What an empty list says instead of nothing, laid over the list: with no
// source at all for the tab, that there is none and a button that opens the
// preferences to add a folder; with no source selected, to choose one; with
// a folder that holds no items of the tab's kind (only sub-folders, say),
// that there are none here. Hidden whenever the list shows items, is still
// loading, or its source could not be read (the count says so).
class EmptyPlaceHint : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Pictures, Music, Movies };

    // Lays itself over host (a list's viewport) and follows its size.
    EmptyPlaceHint(Kind kind, const MediaFolderPtr& root, QVMBListController* list, QWidget* host);
    ~EmptyPlaceHint() override;

    // Shows or hides the hint for the state of the root and the list now.
    void refresh();
    QString message() const;
    bool offersToAddFolder() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString emptyFolderText() const;

    Kind _kind;
    MediaFolderPtr _root;
    QPointer<QVMBListController> _list;
    QLabel* _label;
    QPushButton* _addFolder;
};
