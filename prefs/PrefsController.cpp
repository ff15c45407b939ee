#include "prefs/PrefsController.h"

#include "platform/network/ShareDirectory.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/Translations.h"
#include "platform/system/WindowFrameAutosave.h"
#include "prefs/PrefsOutlineModel.h"
#include "prefs/UserPreferences.h"
#include "ui_Preferences.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

PrefsController* PrefsController::_sharedPrefs = nullptr;

namespace {
const QString kAutosaveName = QStringLiteral("QVMediaBrowserPreferences");
constexpr int kPanelOK = 1;
} // namespace

PrefsController* PrefsController::sharedPrefs() {
    if (_sharedPrefs == nullptr) {
        _sharedPrefs = new PrefsController(); // lives until the process ends
    }
    return _sharedPrefs;
}

PrefsController::PrefsController() = default;

PrefsController::~PrefsController() {
    delete _window;
}

QDialog* PrefsController::window() {
    if (_window == nullptr) {
        Translations::install();
        _window = new QDialog();
        _ui = std::make_unique<Ui::Preferences>();
        _ui->setupUi(_window);
        _outlineView = _ui->outlineView;
        _deleteButton = _ui->deleteButton;
        _mediaServersCheck = _ui->mediaServersCheck;
        connect(_ui->addButton, &QPushButton::clicked, this, &PrefsController::addClick);
        connect(_ui->addLocationButton, &QPushButton::clicked, this, &PrefsController::addLocationClick);
        connect(_ui->deleteButton, &QPushButton::clicked, this, &PrefsController::deleteClick);
        connect(_ui->okButton, &QPushButton::clicked, this, &PrefsController::okClick);
        connect(_ui->cancelButton, &QPushButton::clicked, this, &PrefsController::cancelClick);
        // Escape closes the window like Cancel; nothing is stored.
        connect(_window, &QDialog::rejected, this, [this] { _window->hide(); });
        new WindowFrameAutosave(_window, kAutosaveName);
        _window->installEventFilter(this);
        awakeFromNib();
    }
    return _window;
}

bool PrefsController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == _window && event->type() == QEvent::LanguageChange && _root != nullptr) {
        _ui->retranslateUi(_window);
        _pictures->setName(tr("Pictures"));
        _music->setName(tr("Music"));
        _movies->setName(tr("Movies"));
        _model->reload();
        expandAll();
    }
    return QObject::eventFilter(watched, event);
}

void PrefsController::awakeFromNib() {
    _root = std::make_shared<QVTree>();
    _pictures = std::make_shared<QVTree>(tr("Pictures"));
    _music = std::make_shared<QVTree>(tr("Music"));
    _movies = std::make_shared<QVTree>(tr("Movies"));
    _root->add(_pictures);
    _root->add(_music);
    _root->add(_movies);

    _model = new PrefsOutlineModel(this, _window);
    _outlineView->setModel(_model);
    connect(_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PrefsController::selectionChanged);
    // A reset replaces the selection silently: look at the button again.
    connect(_model, &QAbstractItemModel::modelReset, this, &PrefsController::selectionChanged);
    reloadPrefs();
}

void PrefsController::showWindow() {
    reloadPrefs();
    QDialog* w = window();
    w->show();
    w->raise();
    w->activateWindow();
}

void PrefsController::reloadPrefs() {
    if (_root == nullptr) {
        return; // the window is not loaded yet: loading it fills the tree
    }
    UserPreferences* prefs = UserPreferences::sharedPreferences();
    _pictures->removeAll();
    _music->removeAll();
    _movies->removeAll();
    _pictures->addNames(prefs->picturePaths());
    _music->addNames(prefs->musicPaths());
    _movies->addNames(prefs->moviePaths());
    _mediaServersCheck->setChecked(prefs->mediaServersEnabled());
    _ui->writeThumbnailCache->setChecked(prefs->writesThumbnailCache());
    selectionChanged();
    _model->reload();
    expandAll();
}

void PrefsController::expandAll() {
    for (const QVTree* category : {_pictures.get(), _music.get(), _movies.get()}) {
        _outlineView->expand(_model->indexOf(category));
    }
}

QVTree* PrefsController::selectedNode() const {
    if (_outlineView == nullptr || _outlineView->selectionModel() == nullptr) {
        return nullptr;
    }
    const QModelIndexList rows = _outlineView->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : _model->node(rows.first());
}

bool PrefsController::isPathNode(const QVTree* node) const {
    return node != nullptr && node != _root.get() && node->parent() != _root.get();
}

void PrefsController::selectionChanged() {
    if (_deleteButton != nullptr) {
        _deleteButton->setEnabled(isPathNode(selectedNode()));
    }
}

void PrefsController::addClick() {
    QFileDialog* panel = new QFileDialog(window(), tr("Add a Folder"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setOption(QFileDialog::ReadOnly, false); // new folders may be made
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::finished, this, [this, panel](int result) {
        openPanelDidEnd(panel->selectedFiles(), result == QDialog::Accepted ? kPanelOK : 0);
    });
    _panel = panel;
    panel->open();
}

namespace {

// Whether text is a network share's location with a machine to reach.
bool isShareLocation(const QString& text) {
    return ShareDirectory::isShareLocation(text) && !QUrl(text).host().isEmpty();
}

} // namespace

void PrefsController::addLocationClick() {
    auto* input = new QInputDialog(window());
    input->setAttribute(Qt::WA_DeleteOnClose);
    input->setWindowTitle(tr("Add a Location"));
    input->setLabelText(tr("Network share (smb://, sftp://, nfs://, dav://):"));
    input->setTextValue(QStringLiteral("smb://"));
    input->setWindowModality(Qt::WindowModal);
    connect(input, &QInputDialog::textValueSelected, this,
            [this](const QString& text) { addLocation(text); });
    input->open();
}

bool PrefsController::addLocation(const QString& location) {
    const QString trimmed = location.trimmed();
    if (_root == nullptr || !isShareLocation(trimmed)) {
        QApplication::beep();
        return false;
    }
    QVTree* target = selectedNode();
    if (target == nullptr) {
        target = _pictures.get();
    }
    while (target->parent() != nullptr && target->parent() != _root.get()) {
        target = target->parent();
    }
    const QVTree* keepSelected = selectedNode();
    target->add(std::make_shared<QVTree>(trimmed));
    _model->reload();
    expandAll();
    select(keepSelected);
    return true;
}

void PrefsController::openPanelDidEnd(const QStringList& paths, int returnCode) {
    _panel = nullptr;
    if (returnCode != kPanelOK || _root == nullptr) {
        return;
    }
    QVTree* target = selectedNode();
    if (target == nullptr) {
        target = _pictures.get();
    }
    while (target->parent() != nullptr && target->parent() != _root.get()) {
        target = target->parent();
    }
    const QVTree* keepSelected = selectedNode();
    for (const QString& path : paths) {
        target->add(std::make_shared<QVTree>(Path::abbreviateWithTilde(path)));
    }
    _model->reload();
    expandAll();
    select(keepSelected);
}

void PrefsController::deleteClick() {
    QVTree* node = selectedNode();
    if (!isPathNode(node)) {
        return;
    }
    QVTree* category = node->parent();
    const int row = category->indexOf(node);
    category->remove(node); // node is gone from here on
    _model->reload();
    expandAll();
    // The row just above: the previous path of the category, or the category itself.
    select(row > 0 ? category->subTrees().at(static_cast<size_t>(row - 1)).get() : category);
}

void PrefsController::select(const QVTree* node) {
    const QModelIndex index = _model->indexOf(node);
    if (!index.isValid()) {
        _outlineView->selectionModel()->clearSelection();
        return;
    }
    _outlineView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
}

QStringList PrefsController::getPathsForNode(const QVTree& node) const {
    QStringList paths;
    for (const QVTreePtr& child : node.subTrees()) {
        paths.append(child->name());
    }
    return paths;
}

void PrefsController::okClick() {
    UserPreferences* prefs = UserPreferences::sharedPreferences();
    prefs->setPicturePaths(getPathsForNode(*_pictures));
    prefs->setMusicPaths(getPathsForNode(*_music));
    prefs->setMoviePaths(getPathsForNode(*_movies));
    if (prefs->mediaServersEnabled() != _mediaServersCheck->isChecked()) {
        prefs->setMediaServersEnabled(_mediaServersCheck->isChecked());
    }
    prefs->setWritesThumbnailCache(_ui->writeThumbnailCache->isChecked());
    prefs->synchronize();
    window()->close();
}

void PrefsController::cancelClick() {
    window()->close();
}

bool PrefsController::isItemExpandable(QTreeView*, const QVTree* item) const {
    return item->isExpandable();
}

int PrefsController::numberOfChildrenOfItem(QTreeView*, const QVTree* item) const {
    return static_cast<int>(item->subTrees().size());
}

QVTree* PrefsController::child(QTreeView*, int index, const QVTree* item) const {
    return item->subTrees().at(static_cast<size_t>(index)).get();
}

QString PrefsController::objectValueForItem(QTreeView*, const QVTree* item) const {
    return item->name();
}

bool PrefsController::shouldEditItem(QTreeView*, const QVTree* item) const {
    return isPathNode(item);
}

bool PrefsController::setObjectValue(QTreeView*, const QString& value, QVTree* item) {
    if (!isShareLocation(value) && !FileSystem::isDirectory(Path::expandTilde(value))) {
        QApplication::beep();
        return false;
    }
    item->setName(value);
    return true;
}
