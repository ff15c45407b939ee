#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVMediaBrowser/Export.h>
#include <QVMediaBrowser/MediaItemInfo.h>

#include <memory>

// A dialog in which the user picks pictures, tracks or movies with the
// browser's grid, outlines and search, in the manner of QFileDialog: Choose
// (or Enter, or a double-click) accepts the selected items, Cancel or Escape
// rejects. Use the static getOpenMediaUrls() for a modal call, or set it up
// and open() it to learn the answer from itemsChosen() and finished().
class QVMB_EXPORT QVMediaPicker : public QDialog {
    Q_OBJECT
public:
    explicit QVMediaPicker(QWidget* parent = nullptr);
    ~QVMediaPicker() override;

    // What may be chosen: kinds ("pictures", "music", "movies") and MIME types
    // of pictures, audio or video, exact ("image/png") or of a family
    // ("video/*"). Empty means every kind. Answers false, and changes nothing,
    // when one is none of these. The tab bar offers the kinds these name.
    bool setMediaTypes(const QStringList& types);
    QStringList mediaTypes() const;

    // Whether several items may be chosen at once (default: one).
    void setMultipleSelection(bool multiple);
    bool multipleSelection() const;

    // The text of the accepting button (default "Choose").
    void setAcceptLabel(const QString& text);

    // After the dialog was accepted: the chosen items, in the list's order.
    QList<QUrl> chosenUrls() const;
    QList<QVMediaItemInfo> chosenItems() const;

    // Runs a modal picker and answers the chosen items' URLs, or none when the
    // user cancelled. caption is the window title (a default when empty).
    static QList<QUrl> getOpenMediaUrls(QWidget* parent = nullptr, const QString& caption = QString(),
                                        const QStringList& types = QStringList(), bool multiple = true);
    // The same for one item: its URL, or an empty URL on Cancel.
    static QUrl getOpenMediaUrl(QWidget* parent = nullptr, const QString& caption = QString(),
                                const QStringList& types = QStringList());

Q_SIGNALS:
    // The user chose these items; the dialog is accepted right after.
    void itemsChosen(const QList<QVMediaItemInfo>& items);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void makeContents();
    void openFirstSource();

    class Private;
    std::unique_ptr<Private> d;
};
