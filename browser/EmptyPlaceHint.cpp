#include "browser/EmptyPlaceHint.h"

#include "browser/QVMBListController.h"
#include "platform/system/NotificationCenter.h"
#include "prefs/PrefsController.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EmptyPlaceHint::EmptyPlaceHint(Kind kind, const MediaFolderPtr& root, QVMBListController* list, QWidget* host)
    : QWidget(host)
    , _kind(kind)
    , _root(root)
    , _list(list)
    , _label(new QLabel(this))
    , _addFolder(new QPushButton(this)) {
    _label->setAlignment(Qt::AlignCenter);
    _label->setWordWrap(true);
    // Muted, as a field's placeholder text, over a grid and a table alike.
    _label->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(_label);
    layout->addWidget(_addFolder, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    _addFolder->setText(tr("Add a Folder…"));
    connect(_addFolder, &QPushButton::clicked, this, [] { PrefsController::sharedPrefs()->showWindow(); });
    setGeometry(host->rect());
    host->installEventFilter(this);

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, QVMBListCtrlNumItemsChanged, list, [this](const Notification&) { refresh(); });
    center.addObserver(this, MediaFolderSubFoldersChanged, root.get(),
                       [this](const Notification&) { refresh(); });
    refresh();
}

EmptyPlaceHint::~EmptyPlaceHint() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

QString EmptyPlaceHint::emptyFolderText() const {
    switch (_kind) {
    case Kind::Pictures:
        return tr("No pictures here");
    case Kind::Music:
        return tr("No music here");
    case Kind::Movies:
        return tr("No movies here");
    }
    return {};
}

void EmptyPlaceHint::refresh() {
    if (!_list) {
        return;
    }
    QString text;
    bool addFolder = false;
    if (_root->folders().empty()) {
        switch (_kind) {
        case Kind::Pictures:
            text = tr("No folders of pictures yet");
            break;
        case Kind::Music:
            text = tr("No folders of music yet");
            break;
        case Kind::Movies:
            text = tr("No folders of movies yet");
            break;
        }
        addFolder = true;
    } else if (!_list->folder()) {
        text = tr("Choose a source");
    } else if (!_list->isLoading() && !_list->loadFailed() && _list->numItems() == 0 &&
               _list->filter().isEmpty()) {
        text = emptyFolderText();
    }
    _label->setText(text);
    _addFolder->setVisible(addFolder);
    setVisible(!text.isEmpty());
    if (isVisible()) {
        raise();
    }
}

QString EmptyPlaceHint::message() const {
    return isVisibleTo(parentWidget()) ? _label->text() : QString();
}

bool EmptyPlaceHint::offersToAddFolder() const {
    return isVisibleTo(parentWidget()) && _addFolder->isVisibleTo(this);
}

bool EmptyPlaceHint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void EmptyPlaceHint::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        _addFolder->setText(tr("Add a Folder…"));
        refresh();
    }
    QWidget::changeEvent(event);
}
