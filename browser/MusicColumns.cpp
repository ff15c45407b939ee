#include "browser/MusicColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>

#include <algorithm>

namespace {

// The artist column's share of the table until the user sizes it, and the
// most it takes of a narrow table even then.
constexpr double kArtistShare = 0.3;
constexpr double kArtistMostShare = 0.45;

} // namespace

MusicColumns::MusicColumns(QTableView* table, QObject* parent)
    : QObject(parent)
    , _table(table)
    , _header(table->horizontalHeader()) {
    const QSettings settings;
    _artist = settings.value(artistWidthKey(), -1).toInt();
    _time = settings.value(timeWidthKey(), -1).toInt();
    _header->setStretchLastSection(false);
    _header->setMinimumSectionSize(kMinimumWidth);
    for (int section = kNameColumn; section <= kTimeColumn; ++section) {
        _header->setSectionResizeMode(section, QHeaderView::Interactive);
    }
    connect(_header, &QHeaderView::sectionResized, this, &MusicColumns::sectionResized);
    _viewport = table->viewport();
    _viewport->installEventFilter(this);
    layOut();
}

QString MusicColumns::artistWidthKey() {
    return QStringLiteral("MusicTable/ArtistWidth");
}

QString MusicColumns::timeWidthKey() {
    return QStringLiteral("MusicTable/TimeWidth");
}

int MusicColumns::availableWidth() const {
    return _table->viewport()->width();
}

void MusicColumns::layOut() {
    if (!_table || !_header || _header->count() <= kTimeColumn) {
        return;
    }
    const int available = availableWidth();
    // "00:00:00" and the column's title, whichever is wider, with the cell's margins.
    const QFontMetrics cells(_table->font());
    const QFontMetrics titles(_header->font());
    const QString title = _table->model()->headerData(kTimeColumn, Qt::Horizontal).toString();
    const int fitted =
        std::max(cells.horizontalAdvance(QStringLiteral("00:00:00")), titles.horizontalAdvance(title) + 16) +
        12;
    const int time = std::max(kMinimumWidth, _time > 0 ? _time : fitted);
    const int share = static_cast<int>(available * kArtistShare);
    const int artist =
        std::max(kMinimumWidth,
                 _artist > 0 ? std::min(_artist, static_cast<int>(available * kArtistMostShare)) : share);
    setWidths(available - artist - time, artist, time);
}

void MusicColumns::setWidths(int name, int artist, int time) {
    _adjusting = true;
    _header->resizeSection(kArtistColumn, artist);
    _header->resizeSection(kTimeColumn, time);
    _header->resizeSection(kNameColumn, std::max(kMinimumNameWidth, name));
    _adjusting = false;
}

void MusicColumns::sectionResized(int section, int, int newSize) {
    if (_adjusting || !_table || !_header) {
        return;
    }
    // The user dragged an edge: the neighbour that gives or takes the width follows.
    const int available = availableWidth();
    int name = _header->sectionSize(kNameColumn);
    int artist = _header->sectionSize(kArtistColumn);
    const int time = _header->sectionSize(kTimeColumn);
    if (section == kNameColumn) {
        artist = std::max(kMinimumWidth, available - newSize - time);
        name = available - artist - time;
    } else {
        name = available - artist - time;
        if (name < kMinimumNameWidth && section == kArtistColumn) {
            artist = std::max(kMinimumWidth, available - kMinimumNameWidth - time);
            name = available - artist - time;
        }
    }
    setWidths(name, artist, time);
    _artist = _header->sectionSize(kArtistColumn);
    _time = _header->sectionSize(kTimeColumn);
    remember();
}

void MusicColumns::remember() {
    QSettings settings;
    settings.setValue(artistWidthKey(), _artist);
    settings.setValue(timeWidthKey(), _time);
}

bool MusicColumns::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && _viewport && watched == _viewport) {
        layOut();
    }
    return QObject::eventFilter(watched, event);
}
