#pragma once

#include "prefs/QVTree.h"

#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class PrefsOutlineModel;
class QCheckBox;
class QDialog;
class QPushButton;
class QTreeView;
namespace Ui {
class Preferences;
}

// The preferences window: one outline with the categories "Pictures", "Music"
// and "Movies", each holding its folder paths. Edits live in QVTree nodes
// until OK stores all three lists; Cancel or closing the window forgets them.
class PrefsController : public QObject {
    Q_OBJECT
public:
    // The one preferences window controller of the process.
    static PrefsController* sharedPrefs();
    ~PrefsController() override;

    // The window, made from the "Preferences" form on first use.
    QDialog* window();
    bool isWindowLoaded() const { return _window != nullptr; }
    // Reloads the lists from the store, then shows the window in front.
    void showWindow();

    void reloadPrefs();
    void expandAll();
    void selectionChanged();
    void addClick();
    // The directory chooser closed: returnCode 1 is OK.
    void openPanelDidEnd(const QStringList& paths, int returnCode);
    // Asks for a network share's location and adds it to the selected category.
    void addLocationClick();
    // Adds location to the selected category when it names a network share;
    // answers whether it did (the alert sounds otherwise).
    bool addLocation(const QString& location);
    void deleteClick();
    QStringList getPathsForNode(const QVTree& node) const;
    void okClick();
    void cancelClick();

    // The outline's questions (the outline view argument is not used).
    bool isItemExpandable(QTreeView* outline, const QVTree* item) const;
    int numberOfChildrenOfItem(QTreeView* outline, const QVTree* item) const;
    QVTree* child(QTreeView* outline, int index, const QVTree* item) const;
    QString objectValueForItem(QTreeView* outline, const QVTree* item) const;
    bool shouldEditItem(QTreeView* outline, const QVTree* item) const;
    // Accepts an edited path only when it names an existing directory or a
    // network share; answers whether it did.
    bool setObjectValue(QTreeView* outline, const QString& value, QVTree* item);

    QVTree* root() const { return _root.get(); }
    QVTree* pictures() const { return _pictures.get(); }
    QVTree* music() const { return _music.get(); }
    QVTree* movies() const { return _movies.get(); }
    QTreeView* outlineView() const { return _outlineView; }
    QPushButton* deleteButton() const { return _deleteButton; }
    // The switch of the media servers (shown, and stored with OK).
    QCheckBox* mediaServersCheck() const { return _mediaServersCheck; }
    // The directory chooser while it is open, for tests.
    QFileDialog* openPanel() const { return _panel; }

protected:
    // Follows a change of language while the window exists.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PrefsController();
    void awakeFromNib();
    QVTree* selectedNode() const;
    bool isPathNode(const QVTree* node) const;
    void select(const QVTree* node);

    QTreeView* _outlineView = nullptr;
    QPushButton* _deleteButton = nullptr;
    QCheckBox* _mediaServersCheck = nullptr;
    QVTreePtr _root;
    QVTreePtr _pictures;
    QVTreePtr _music;
    QVTreePtr _movies;

    QDialog* _window = nullptr;
    std::unique_ptr<Ui::Preferences> _ui;
    PrefsOutlineModel* _model = nullptr;
    QPointer<QFileDialog> _panel;

    static PrefsController* _sharedPrefs;
};
