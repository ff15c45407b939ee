#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class IconView;
class PicturePreview;
class QAbstractItemView;
class QMimeData;
class QVMBListController;
class QWidget;

// What the user can do with the selected items of one tab's list, the same
// whether asked by a key (ListKeyHandler) or the context menu
// (ItemContextMenu): open them (play the track or movie, preview the
// picture), toggle (playback on and off, the preview open and closed), copy
// them, open them with the desktop's default application, and show them in
// their folder.
class ListActions : public QObject {
    Q_OBJECT
public:
    enum class Kind { Pictures, Music, Movies };

    // For a thumbnail grid (pictures or movies).
    ListActions(Kind kind, QVMBListController* list, IconView* grid, QObject* parent = nullptr);
    // For the music table.
    ListActions(QVMBListController* list, QAbstractItemView* table, QObject* parent = nullptr);

    // The pictures' preview window; not owned.
    void setPreview(PicturePreview* preview);
    PicturePreview* preview() const;

    Kind kind() const { return _kind; }
    QVMBListController* list() const;
    // The view the user acts in: the grid, or the table.
    QWidget* view() const;
    IconView* grid() const;
    QAbstractItemView* table() const;

    // The list positions selected, ascending.
    std::vector<int> selection() const;
    // The selected position the keyboard is on (else the first selected); -1 with none.
    int focusedPosition() const;
    // The files of the selected items; items without a local file are left out.
    QStringList selectedPaths() const;
    // The file of the item at position; empty when it has no local file.
    QString pathAt(int position) const;

    // Enter: plays the selected track or movie, previews the focused picture.
    void open();
    // Space: starts or stops playback; opens or closes the picture preview.
    void toggle();
    // Ctrl+C: the selection on the clipboard, as a drag would carry it plus the paths as text.
    void copy();
    void openWithDefaultApplication();
    void showInFolder();
    void showPreview();

    // What a drag of the selection carries (text/uri-list), plus the paths as plain text.
    std::unique_ptr<QMimeData> selectionMimeData() const;

private:
    Kind _kind;
    QPointer<QVMBListController> _list;
    QPointer<IconView> _grid;
    QPointer<QAbstractItemView> _table;
    QPointer<PicturePreview> _preview;
};
