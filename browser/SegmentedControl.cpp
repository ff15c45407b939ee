#include "browser/SegmentedControl.h"

#include "browser/AccessibleSegmentedControl.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace {
constexpr int kDefaultWidth = 60;
}

SegmentedControl::SegmentedControl(QWidget* parent)
    : QWidget(parent)
    , _layout(new QHBoxLayout(this))
    , _group(new QButtonGroup(this)) {
    AccessibleSegmentedControl::installFactory();
    _layout->setContentsMargins(0, 0, 0, 0);
    _layout->setSpacing(0);
    _group->setExclusive(true);
    connect(_group, &QButtonGroup::buttonClicked, this, [this] { Q_EMIT clicked(); });
    // A reader hears which tab became (or stopped being) the selected one.
    connect(_group, &QButtonGroup::buttonToggled, this, [](QAbstractButton* button, bool) {
        if (QAccessible::isActive()) {
            QAccessibleEvent event(button, QAccessible::Selection);
            QAccessible::updateAccessibility(&event);
        }
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedControl::setSegmentCount(int count) {
    count = std::max(count, 0);
    while (segmentCount() > count) {
        QToolButton* button = _segments.back().button;
        _group->removeButton(button);
        delete button;
        _segments.pop_back();
    }
    while (segmentCount() < count) {
        auto* button = new QToolButton(this);
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setFixedWidth(kDefaultWidth);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        _group->addButton(button, segmentCount());
        _layout->addWidget(button);
        _segments.push_back({button, 0});
    }
    restyle();
}

QString SegmentedControl::label(int segment) const {
    return _segments.at(static_cast<size_t>(segment)).button->text();
}

void SegmentedControl::setLabel(int segment, const QString& label) {
    _segments.at(static_cast<size_t>(segment)).button->setText(label);
}

int SegmentedControl::tag(int segment) const {
    return _segments.at(static_cast<size_t>(segment)).tag;
}

void SegmentedControl::setTag(int segment, int tag) {
    _segments.at(static_cast<size_t>(segment)).tag = tag;
}

int SegmentedControl::width(int segment) const {
    return _segments.at(static_cast<size_t>(segment)).button->width();
}

void SegmentedControl::setWidth(int segment, int width) {
    _segments.at(static_cast<size_t>(segment)).button->setFixedWidth(width);
}

int SegmentedControl::selectedSegment() const {
    for (int i = 0; i < segmentCount(); ++i) {
        if (_segments.at(static_cast<size_t>(i)).button->isChecked()) {
            return i;
        }
    }
    return -1;
}

void SegmentedControl::setSelectedSegment(int segment) {
    if (segment >= 0 && segment < segmentCount()) {
        _segments.at(static_cast<size_t>(segment)).button->setChecked(true);
    }
}

int SegmentedControl::selectedTag() const {
    const int segment = selectedSegment();
    return segment < 0 ? -1 : tag(segment);
}

void SegmentedControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) {
        restyle();
    }
}

void SegmentedControl::restyle() {
    // Joined segments: only the outer corners are rounded. Right to left the
    // first segment is the rightmost.
    const bool reversed = isRightToLeft();
    for (int i = 0; i < segmentCount(); ++i) {
        const bool first = i == (reversed ? segmentCount() - 1 : 0);
        const bool last = i == (reversed ? 0 : segmentCount() - 1);
        _segments.at(static_cast<size_t>(i))
            .button->setStyleSheet(
                QStringLiteral("QToolButton { border: 1px solid palette(mid); padding: 3px 6px;"
                               " background: palette(button); margin-left: %1px;"
                               " border-top-left-radius: %2px; border-bottom-left-radius: %2px;"
                               " border-top-right-radius: %3px; border-bottom-right-radius: %3px; }"
                               "QToolButton:checked { background: palette(highlight);"
                               " color: palette(highlighted-text); }")
                    .arg(first ? 0 : -1)
                    .arg(first ? 5 : 0)
                    .arg(last ? 5 : 0));
    }
}
