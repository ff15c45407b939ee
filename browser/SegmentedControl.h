#pragma once

#include <QWidget>

#include <vector>

class QButtonGroup;
class QHBoxLayout;
class QToolButton;

// A row of joined, mutually exclusive segments (the browser's tab bar). Each
// segment has a label, an integer tag and a fixed width; clicking one selects
// it and emits clicked(). Like a tab bar, the row is one stop of the focus
// chain, in which the arrow keys, Home and End select a segment.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    int segmentCount() const { return static_cast<int>(_segments.size()); }
    // Adds or removes segments at the end; new ones get an empty label, tag 0 and width 60.
    void setSegmentCount(int count);

    QString label(int segment) const;
    void setLabel(int segment, const QString& label);
    int tag(int segment) const;
    void setTag(int segment, int tag);
    int width(int segment) const;
    void setWidth(int segment, int width);

    // The selected segment, or -1 when there is none.
    int selectedSegment() const;
    void setSelectedSegment(int segment);
    // The selected segment's tag, or -1 when none is selected.
    int selectedTag() const;

Q_SIGNALS:
    void clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Segment {
        QToolButton* button;
        int tag = 0;
    };
    void restyle();

    QHBoxLayout* _layout;
    QButtonGroup* _group;
    std::vector<Segment> _segments;
};
