#include "platform/system/WorkspaceIcons.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStyle>

#include <gtest/gtest.h>

namespace {

// Without a desktop session the theme is "hicolor", which has hardly any
// file-type icons; the file icons then come from Adwaita, even when the
// style looked in the themes first (as it does while drawing the window
// before any track is listed).
TEST(WorkspaceIcons, FileTypeIconsComeFromTheFallbackThemeAfterEarlierLookups) {
    if (!QDir(QStringLiteral("/usr/share/icons/Adwaita")).exists()) {
        GTEST_SKIP() << "the Adwaita icon theme is not installed";
    }
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    (void)QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    (void)QIcon::fromTheme(QStringLiteral("document-open"));

    const auto iconName = [](const char* path) {
        return WorkspaceIcons::iconForFile(QLatin1String(path)).name().toStdString();
    };
    EXPECT_EQ(iconName("/music/a.mp3"), "audio-x-generic");
    EXPECT_EQ(iconName("/movies/a.mov"), "video-x-generic");
    EXPECT_EQ(iconName("/notes/a.unknownkind"), "application-x-generic");
}

} // namespace
