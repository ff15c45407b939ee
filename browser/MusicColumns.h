#pragma once

#include <QHeaderView>
#include <QObject>
#include <QPointer>

class QTableView;

// The widths of the music table's columns. The name takes whatever width the
// artist and time columns leave; the time column fits its longest text and
// the artist column a share of the table, until the user drags a column's
// edge. Every edge can be dragged: dragging the name's edge trades width
// with the artist column, the others' edges with the name. The widths the
// user chose are remembered in the host application's settings.
class MusicColumns : public QObject {
    Q_OBJECT
public:
    static constexpr int kNameColumn = 0;
    static constexpr int kArtistColumn = 1;
    static constexpr int kTimeColumn = 2;
    static constexpr int kMinimumWidth = 40;
    static constexpr int kMinimumNameWidth = 60;

    explicit MusicColumns(QTableView* table, QObject* parent = nullptr);

    // The settings keys the user's widths are kept under.
    static QString artistWidthKey();
    static QString timeWidthKey();

    // Lays the columns out for the table's width now.
    void layOut();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sectionResized(int section, int oldSize, int newSize);
    int availableWidth() const;
    void setWidths(int name, int artist, int time);
    void remember();

    QPointer<QTableView> _table;
    QPointer<QHeaderView> _header;
    // The table's viewport, whose resizes lay the columns out; held as a
    // plain widget, as its events come on while the table is destroyed.
    QPointer<QWidget> _viewport;
    int _artist = -1; // as the user chose it; -1 for a share of the table
    int _time = -1;   // as the user chose it; -1 to fit its text
    bool _adjusting = false;
};
