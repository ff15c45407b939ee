#pragma once

#include <QTableView>

// The music tab's table: whole rows are selected, nothing is edited, and rows
// are dragged out as copies of their files; nothing can be dropped on it or
// anywhere else in the application.
class MusicTableView : public QTableView {
    Q_OBJECT
public:
    explicit MusicTableView(QWidget* parent = nullptr);

    // Copy, for drags within the application and to other applications alike
    // (the application itself refuses the drop).
    static Qt::DropActions draggingSourceOperationMaskForLocal(bool local);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};
