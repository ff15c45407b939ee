#include "browser/BrowserController.h"
#include "browser/ChosenItems.h"
#include "browser/MediaBrowserWindow.h"
#include "browser/MediaTypeFilter.h"
#include "browser/PickerMode.h"
#include "browser/QVMBTreeController.h"
#include "ui_MediaBrowser.h"

#include <QDialogButtonBox>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVMediaBrowser/QVMediaPicker.h>

class QVMediaPicker::Private {
public:
    QStringList types;
    MediaTypeFilter filter;
    bool multiple = false;
    QString acceptLabel;
    MediaBrowserWindow* contents = nullptr;
    PickerMode* picker = nullptr;
    QPushButton* chooseButton = nullptr;
    std::vector<MediaItemPtr> chosen;
};

QVMediaPicker::QVMediaPicker(QWidget* parent)
    : QDialog(parent)
    , d(std::make_unique<Private>()) {
    setWindowTitle(tr("Choose Media"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    auto* buttons = new QDialogButtonBox(this);
    buttons->setContentsMargins(8, 0, 8, 0);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    d->chooseButton = buttons->addButton(PickerMode::chooseLabel(), QDialogButtonBox::AcceptRole);
    // Enter belongs to the lists (it chooses there) and to the search field
    // (it goes on to the results): neither button is the dialog's default.
    for (QPushButton* button : {cancel, d->chooseButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    d->chooseButton->setEnabled(false);
    layout->addWidget(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(d->chooseButton, &QPushButton::clicked, this, [this] {
        if (d->picker != nullptr) {
            d->picker->choose();
        }
    });
    resize(420, 640);
}

QVMediaPicker::~QVMediaPicker() = default;

bool QVMediaPicker::setMediaTypes(const QStringList& types) {
    const std::optional<MediaTypeFilter> filter = MediaTypeFilter::fromTypes(types);
    if (!filter) {
        return false;
    }
    d->types = types;
    d->filter = *filter;
    if (d->contents != nullptr) {
        // The tab bar is built once: contents for other kinds are made anew.
        delete d->contents;
        d->contents = nullptr;
        d->picker = nullptr;
        if (isVisible()) {
            makeContents();
        }
    }
    return true;
}

QStringList QVMediaPicker::mediaTypes() const {
    return d->types;
}

void QVMediaPicker::setMultipleSelection(bool multiple) {
    d->multiple = multiple;
    if (d->picker != nullptr) {
        d->picker->setMultipleSelection(multiple);
    }
}

bool QVMediaPicker::multipleSelection() const {
    return d->multiple;
}

void QVMediaPicker::setAcceptLabel(const QString& text) {
    d->acceptLabel = text;
    d->chooseButton->setText(text.isEmpty() ? PickerMode::chooseLabel() : text);
}

QList<QUrl> QVMediaPicker::chosenUrls() const {
    return ChosenItems::urls(d->chosen);
}

QList<QVMediaItemInfo> QVMediaPicker::chosenItems() const {
    return ChosenItems::describe(d->chosen);
}

void QVMediaPicker::showEvent(QShowEvent* event) {
    if (d->contents == nullptr) {
        makeContents();
    }
    QDialog::showEvent(event);
}

void QVMediaPicker::makeContents() {
    d->contents = new MediaBrowserWindow(this, d->filter.typeMask());
    d->contents->setWindowFlags(Qt::Widget);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, d->contents, 1);
    d->picker = new PickerMode(d->contents);
    d->picker->setFilter(d->filter);
    d->picker->setMultipleSelection(d->multiple);
    d->chooseButton->setEnabled(d->picker->canChoose());
    connect(d->picker, &PickerMode::canChooseChanged, d->chooseButton, &QPushButton::setEnabled);
    connect(d->picker, &PickerMode::chosen, this, [this](const std::vector<MediaItemPtr>& items) {
        d->chosen = items;
        // What the browser knows of them is read only for a host that listens.
        if (isSignalConnected(QMetaMethod::fromSignal(&QVMediaPicker::itemsChosen))) {
            Q_EMIT itemsChosen(ChosenItems::describe(items));
        }
        accept();
    });
    d->contents->show();
    openFirstSource();
}

void QVMediaPicker::openFirstSource() {
    // The picker opens on the first source of its first kind with the outline
    // focused: the arrows go through the sources, Tab on to their items.
    const int kind = d->contents->browserController()->selectedTag();
    if (kind < 0 || kind > 2) {
        return;
    }
    QTreeView* outlines[] = {d->contents->ui().picturesOutline, d->contents->ui().musicOutline,
                             d->contents->ui().moviesOutline};
    QTreeView* outline = outlines[kind];
    const QModelIndex first = d->contents->treeController(kind)->index(0, 0);
    if (first.isValid()) {
        outline->setCurrentIndex(first);
    }
    outline->setFocus(Qt::OtherFocusReason);
}

QList<QUrl> QVMediaPicker::getOpenMediaUrls(QWidget* parent, const QString& caption, const QStringList& types,
                                            bool multiple) {
    // The parent may go while the dialog runs: the dialog then goes with it.
    QPointer<QVMediaPicker> picker = new QVMediaPicker(parent);
    if (!caption.isEmpty()) {
        picker->setWindowTitle(caption);
    }
    if (!picker->setMediaTypes(types)) {
        delete picker;
        return {};
    }
    picker->setMultipleSelection(multiple);
    const int answer = picker->exec();
    QList<QUrl> urls;
    if (picker != nullptr) {
        if (answer == QDialog::Accepted) {
            urls = picker->chosenUrls();
        }
        delete picker;
    }
    return urls;
}

QUrl QVMediaPicker::getOpenMediaUrl(QWidget* parent, const QString& caption, const QStringList& types) {
    const QList<QUrl> urls = getOpenMediaUrls(parent, caption, types, false);
    return urls.isEmpty() ? QUrl() : urls.first();
}
