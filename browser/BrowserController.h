#pragma once

#include <QHash>
#include <QImage>
#include <QObject>

class ImageButton;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStackedWidget;
class QTimer;
class QVMBListController;
class SegmentedControl;
struct Notification;

// Runs the browser window's bars: the tab bar that switches between pictures,
// music and movies, the search field that filters all three lists, the play
// button and the item count. It learns the lists' state only from their
// notifications, and always shows the state of the current tab's list.
class BrowserController : public QObject {
    Q_OBJECT
public:
    struct Outlets {
        QStackedWidget* tabView = nullptr;
        SegmentedControl* buttons = nullptr;
        QLineEdit* searchField = nullptr;
        ImageButton* playButton = nullptr;
        QLabel* itemCount = nullptr;
        QVMBListController* photoList = nullptr;
        QVMBListController* musicList = nullptr;
        QVMBListController* movieList = nullptr;
    };

    explicit BrowserController(const Outlets& outlets, QObject* parent = nullptr);
    ~BrowserController() override;

    // The kinds the tab bar offers (QVMediaBrowser's type mask bits), for a
    // window other than the shared browser's; set before awakeFromNib().
    void setTypeMask(int mask) { _typeMask = mask; }

    // Builds the tab bar from the type mask (the shared browser's unless one
    // was set) and starts listening to the lists.
    void awakeFromNib();

    // A bar shown beside the count while the current list's folder loads.
    void setLoadingIndicator(QProgressBar* indicator) { _loadingIndicator = indicator; }

    int selectedTag() const;
    // The list of the selected tab, or none.
    QVMBListController* currentList() const;

    void tabClick();
    void searchTextChanged();
    void playButtonClick();
    void updatePlayButton();
    void isPlayingChanged(const Notification& notification);
    void canPlayChanged(const Notification& notification);
    void numItemsChanged(const Notification& notification);
    // A list could not play what the user asked for: the count area says so
    // for a few seconds.
    void cannotPlay(const Notification& notification);
    static constexpr int kMessageMs = 5000;

    // The play button's images by name: "play", "playAlt", "stop", "stopAlt", "disabled".
    const QHash<QString, QImage>& icons() const { return _icons; }

private:
    void showPlayButtonFor(int tag);

    QStackedWidget* _tabView;
    SegmentedControl* _buttons;
    QLineEdit* _searchField;
    ImageButton* _playButton;
    QLabel* _itemCount;
    QProgressBar* _loadingIndicator = nullptr;
    QVMBListController* _photoList;
    QVMBListController* _musicList;
    QVMBListController* _movieList;
    QHash<QString, QImage> _icons;
    // Shown in the count area instead of the count until the timer ends.
    QString _message;
    QTimer* _messageTimer;
    int _typeMask = -1; // none set: the shared browser's
};
