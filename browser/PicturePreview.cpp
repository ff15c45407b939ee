#include "browser/PicturePreview.h"

#include "browser/ItemDetails.h"
#include "browser/PhotoListController.h"
#include "browser/PreviewCanvas.h"
#include "iconview/IconImage.h"
#include "iconview/IconView.h"
#include "model/Photo.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/WindowFrameAutosave.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kAutosaveName = QStringLiteral("QVMediaBrowserPreview");

} // namespace

PicturePreview::PicturePreview(PhotoListController* list, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , _list(list)
    , _scroll(new QScrollArea(this))
    , _canvas(new PreviewCanvas)
    , _info(new QLabel(this))
    , _previous(new QToolButton(this))
    , _next(new QToolButton(this))
    , _actual(new QToolButton(this))
    , _resizeTimer(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    _scroll->setFrameShape(QFrame::NoFrame);
    _scroll->setAlignment(Qt::AlignCenter);
    _scroll->setWidget(_canvas);
    _scroll->setWidgetResizable(true);
    _scroll->setFocusPolicy(Qt::NoFocus);
    _info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    _info->setFocusPolicy(Qt::NoFocus);
    _info->setMinimumWidth(0);
    _info->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    for (QToolButton* button : {_previous, _next, _actual}) {
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    _actual->setCheckable(true);
    _actual->setText(QStringLiteral("1:1"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 2, 6, 4);
    bar->addWidget(_previous);
    bar->addWidget(_next);
    bar->addWidget(_info, 1);
    bar->addWidget(_actual);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(_scroll, 1);
    layout->addLayout(bar);
    retranslate();

    connect(_previous, &QToolButton::clicked, this, &PicturePreview::showPrevious);
    connect(_next, &QToolButton::clicked, this, &PicturePreview::showNext);
    connect(_actual, &QToolButton::toggled, this, &PicturePreview::setActualSize);
    connect(_canvas, &PreviewCanvas::doubleClicked, this, [this] { setActualSize(!isActualSize()); });
    connect(_canvas, &PreviewCanvas::pictureDrawn, this, [this] {
        if (_showingQuickPicture) {
            Q_EMIT quickPictureShown();
        } else {
            Q_EMIT pictureShown();
        }
    });
    connect(&_decoder, &PreviewDecoder::decoded, this, &PicturePreview::pictureDecoded);
    _resizeTimer->setSingleShot(true);
    _resizeTimer->setInterval(150);
    connect(_resizeTimer, &QTimer::timeout, this, [this] {
        // A larger window wants more pixels than the picture was read at.
        const QSize box =
            PreviewDecoder::fittedBox(_pictureSize, _scroll->viewport()->size() * devicePixelRatioF());
        // What the last request asked for counts too: while it is read,
        // asking again would drop its picture and read the file once more.
        const QSize have = _awaitingPicture ? PreviewDecoder::fittedBox(_pictureSize, _requestedBox)
                                            : _canvas->image().size();
        if (!isActualSize() && !_haveWholePicture && !_path.isEmpty() &&
            (box.width() > have.width() + 1 || box.height() > have.height() + 1)) {
            requestPicture();
        }
    });

    // A picture takes most of the screen the first time; after that the window is where the user left it.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(available.size() * 0.7);
        move(available.center() - rect().center());
    }
    new WindowFrameAutosave(this, kAutosaveName);

    NotificationCenter::defaultCenter().addObserver(this, QVMBListCtrlNumItemsChanged, _list.data(),
                                                    [this](const Notification& n) { listChanged(n); });
}

PicturePreview::~PicturePreview() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void PicturePreview::retranslate() {
    const bool mirrored = layoutDirection() == Qt::RightToLeft;
    _previous->setText(mirrored ? QStringLiteral("▶") : QStringLiteral("◀"));
    _next->setText(mirrored ? QStringLiteral("◀") : QStringLiteral("▶"));
    _previous->setToolTip(tr("Previous Picture"));
    _previous->setAccessibleName(tr("Previous Picture"));
    _next->setToolTip(tr("Next Picture"));
    _next->setAccessibleName(tr("Next Picture"));
    _actual->setToolTip(tr("Actual Size (1)"));
    _actual->setAccessibleName(tr("Actual Size"));
}

void PicturePreview::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LayoutDirectionChange) {
        retranslate();
    }
    QWidget::changeEvent(event);
}

void PicturePreview::showItem(int position) {
    if (!_list || position < 0 || position >= _list->numItems()) {
        return;
    }
    auto* photo = dynamic_cast<Photo*>(_list->itemAt(position).get());
    if (photo == nullptr) {
        return;
    }
    const bool moved = position != _position;
    _position = position;
    if (photo->path() != _path) {
        _path = photo->path();
        _haveWholePicture = false;
        _pictureSize = QSize();
        setWindowTitle(photo->name());
        _info->setText(QString());
        _showingQuickPicture = false;
        if (!isVisible()) {
            _canvas->setMessage(QString());
        }
        showQuickPicture(position);
        // Shown before the picture is read, so the window's size is the one it is read for.
        if (!isVisible()) {
            show();
        }
        requestPicture();
    }
    _previous->setEnabled(_position > 0);
    _next->setEnabled(_position + 1 < _list->numItems());
    if (!isVisible()) {
        show();
    }
    raise();
    activateWindow();
    if (moved) {
        Q_EMIT positionChanged(_position);
    }
}

void PicturePreview::step(int delta) {
    if (!_list || _list->numItems() == 0) {
        return;
    }
    const int wanted = std::clamp(_position + delta, 0, _list->numItems() - 1);
    if (wanted != _position) {
        showItem(wanted);
    }
}

void PicturePreview::showNext() {
    step(1);
}

void PicturePreview::showPrevious() {
    step(-1);
}

void PicturePreview::setActualSize(bool actualSize) {
    if (actualSize == isActualSize()) {
        return;
    }
    {
        const QSignalBlocker blocker(_actual);
        _actual->setChecked(actualSize);
    }
    _canvas->setActualSize(actualSize);
    _scroll->setWidgetResizable(!actualSize);
    if (actualSize) {
        _canvas->resize(_canvas->actualSize().toSize().expandedTo(QSize(1, 1)));
        // Centred on the picture's middle, once the scroll bars know the new size.
        QTimer::singleShot(0, this, [this] {
            _scroll->ensureVisible(_canvas->width() / 2, _canvas->height() / 2,
                                   _scroll->viewport()->width() / 2, _scroll->viewport()->height() / 2);
        });
    }
    if (!_haveWholePicture && !_path.isEmpty()) {
        requestPicture();
    }
}

bool PicturePreview::isActualSize() const {
    return _canvas->isActualSize();
}

QString PicturePreview::infoText() const {
    return _info->text();
}

void PicturePreview::requestPicture() {
    // One-to-one asks for the whole picture; fitted, for the window's device pixels.
    _requestedBox = isActualSize() ? QSize() : _scroll->viewport()->size() * devicePixelRatioF();
    _awaitingPicture = true;
    _decoder.request({_path, _requestedBox});
}

void PicturePreview::showQuickPicture(int position) {
    const IconImagePtr cell = _list ? _list->heldImage(position) : nullptr;
    if (!cell || cell->size().isEmpty()) {
        return;
    }
    // The cell's pixels are upright and have the picture's shape: drawn at
    // the picture's size, they fill what the sharp picture will.
    _pictureSize = cell->size().toSize();
    _showingQuickPicture = true;
    _canvas->setPicture(cell->pixels(), _pictureSize);
}

void PicturePreview::pictureDecoded(const PreviewDecoder::Result& result) {
    if (result.path != _path) {
        return;
    }
    _showingQuickPicture = false;
    _awaitingPicture = false;
    if (result.image.isNull()) {
        _canvas->setMessage(tr("“%1” cannot be shown.").arg(Path::lastComponent(result.path)));
        showInfo(result);
        Q_EMIT pictureShown();
        return;
    }
    QImage image = result.image;
    image.setDevicePixelRatio(1.0);
    _haveWholePicture = result.wholePicture;
    _pictureSize = result.pictureSize;
    _canvas->setPicture(image, result.pictureSize);
    showInfo(result);
}

void PicturePreview::showInfo(const PreviewDecoder::Result& result) {
    QStringList facts = ItemDetails::facts(result.pictureSize, result.fileBytes);
    if (result.taken.isValid()) {
        facts.append(ItemDetails::taken(result.taken));
    }
    if (!result.camera.isEmpty()) {
        facts.append(result.camera);
    }
    _info->setText(ItemDetails::joined(facts));
    _info->setToolTip(_info->text());
}

void PicturePreview::listChanged(const Notification&) {
    if (!_list || _path.isEmpty()) {
        return;
    }
    // The picture shown keeps its place when the list around it changes.
    for (int i = 0; i < _list->numItems(); ++i) {
        auto* photo = dynamic_cast<Photo*>(_list->itemAt(i).get());
        if (photo != nullptr && photo->path() == _path) {
            _position = i;
            break;
        }
    }
    _position = std::clamp(_position, 0, std::max(0, _list->numItems() - 1));
    _previous->setEnabled(_position > 0);
    _next->setEnabled(_position + 1 < _list->numItems());
}

void PicturePreview::keyPressEvent(QKeyEvent* event) {
    const bool mirrored = layoutDirection() == Qt::RightToLeft;
    switch (event->key()) {
    case Qt::Key_Left:
        mirrored ? showNext() : showPrevious();
        break;
    case Qt::Key_Right:
        mirrored ? showPrevious() : showNext();
        break;
    case Qt::Key_Home:
        step(-_position);
        break;
    case Qt::Key_End:
        step(_list ? _list->numItems() : 0);
        break;
    case Qt::Key_1:
        setActualSize(!isActualSize());
        break;
    case Qt::Key_Escape:
    case Qt::Key_Space:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PicturePreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    _resizeTimer->start();
}
