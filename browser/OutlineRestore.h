#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class MediaFolder;
class QTreeView;
class QVMBTreeController;

// Brings an outline back to folders named by their paths of names from the
// root: expands some and selects one, each as soon as its row exists. The
// folders of a source load in the background, so a path is followed a
// level at a time as the rows arrive; a path whose folder turns out not to
// exist (its parent loaded without it) is dropped. The user's own click or
// key in the outline ends the restoring, and so does reaching every path.
class OutlineRestore : public QObject {
    Q_OBJECT
public:
    OutlineRestore(QVMBTreeController* model, QTreeView* outline, const QStringList& expanded,
                   const QString& selected);

    // One level of a path: a folder's name, and which of its parent's
    // folders of that name it is (1 for the first), as two sources of the
    // same name (a catalogue and a folder both called "Music") are told apart.
    struct Step {
        QString name;
        int occurrence = 1;
        bool operator==(const Step&) const = default;
    };

    // A folder's path: its names from the root down, joined by "/", with a
    // "/" or "\" inside a name escaped by a "\"; a folder after the first
    // of its name among its siblings carries "\#" and its occurrence (a
    // sequence the escaping of names never makes, so that the paths of
    // folders with names of their own read as before).
    static QString pathOf(const QList<Step>& steps);
    static QList<Step> stepsOf(const QString& path);
    static QString pathOf(const MediaFolder* folder, const MediaFolder* root);

    bool isDone() const { return _expanded.isEmpty() && _selected.isNull(); }

Q_SIGNALS:
    // Every path was reached or dropped, or the user took over.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Found { Yes, NotYet, Never };
    // The row of path, or why there is none yet.
    Found find(const QString& path, QModelIndex* index);
    void scheduleStep();
    void step();
    void finish();

    QPointer<QVMBTreeController> _model;
    QPointer<QTreeView> _outline;
    QStringList _expanded;
    QString _selected; // null once selected or dropped
    bool _stepQueued = false;
};
