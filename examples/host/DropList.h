#pragma once

#include <QListWidget>
#include <QStringList>

// A list that takes files dropped on it: one row per file, with its path and a
// small preview when the file is a picture, or the file type's icon.
class DropList : public QListWidget {
    Q_OBJECT
public:
    explicit DropList(QWidget* parent = nullptr);

    // The paths of every file dropped so far, in order.
    QStringList paths() const;
    // Adds a row for the file at path.
    void addFile(const QString& path);

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
