#include "browser/QVMBPanel.h"

#include "platform/system/Translations.h"
#include "prefs/PrefsController.h"

#include <QShortcut>

QVMBPanel::QVMBPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool) {
    Translations::install(); // before the first text of the window
    setWindowTitle(tr("Media Browser"));
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Preferences);
    if (!keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Comma))) {
        keys.append(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    }
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [] { PrefsController::sharedPrefs()->showWindow(); });
    }
}
