#include "browser/TabShortcuts.h"

#include "browser/SegmentedControl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

TabShortcuts::TabShortcuts(QWidget* window, SegmentedControl* tabBar, QLineEdit* searchField, QObject* parent)
    : QObject(parent)
    , _tabBar(tabBar)
    , _searchField(searchField) {
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3};
    for (int segment = 0; segment < 3; ++segment) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | digits[segment]), window);
        connect(shortcut, &QShortcut::activated, this, [this, segment] { chooseSegment(segment); });
    }
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), window);
    connect(next, &QShortcut::activated, this, [this] { chooseSegment(_tabBar->selectedSegment() + 1); });
    auto* previous = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), window);
    connect(previous, &QShortcut::activated, this, [this] { chooseSegment(_tabBar->selectedSegment() - 1); });
    searchField->installEventFilter(this);
}

void TabShortcuts::chooseSegment(int segment) {
    if (!_tabBar || segment < 0 || segment >= _tabBar->segmentCount() ||
        segment == _tabBar->selectedSegment()) {
        return;
    }
    _tabBar->setSelectedSegment(segment);
    Q_EMIT _tabBar->clicked();
}

bool TabShortcuts::eventFilter(QObject* watched, QEvent* event) {
    // Escape with text in the field clears it; in an empty field it goes on as usual.
    // The event's type first: a field being destroyed still sends events,
    // and is then no longer a line edit to compare with.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        watched == _searchField && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && !_searchField->text().isEmpty()) {
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            _searchField->clear();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
