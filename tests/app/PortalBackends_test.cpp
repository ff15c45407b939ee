// Which file chooser a request the browser does not answer goes to: the one
// the desktop portal would have chosen without the browser's, as its
// versions choose (UseIn= and file names for 1.16, portals.conf after).
#include "service/PortalBackends.h"
#include "support/TempHome.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString kOurs = QStringLiteral("org.freedesktop.impl.portal.desktop.qvmediabrowser");

// A desktop's environment: its portal files, configuration and data
// folders, and its name, set while the object lives.
class PortalSetup : public TempHome {
public:
    PortalSetup() {
        const char* names[] = {"XDG_DESKTOP_PORTAL_DIR", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS",
                               "XDG_CURRENT_DESKTOP"};
        for (const char* name : names) {
            _saved.append({name, qgetenv(name)});
        }
        qunsetenv("XDG_DESKTOP_PORTAL_DIR");
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(makeDirectory(QStringLiteral("etc"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(makeDirectory(QStringLiteral("share"))));
        portal(QStringLiteral("10-qvmediabrowser"), kOurs, "gnome;kde;");
        portal(QStringLiteral("gnome"), QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"),
               "gnome;");
        portal(QStringLiteral("gtk"), QStringLiteral("org.freedesktop.impl.portal.desktop.gtk"), "gnome;");
        portal(QStringLiteral("kde"), QStringLiteral("org.freedesktop.impl.portal.desktop.kde"), "KDE;");
        // A backend for other interfaces only.
        writeFile(QStringLiteral("share/xdg-desktop-portal/portals/wlr.portal"),
                  "[portal]\nDBusName=org.freedesktop.impl.portal.desktop.wlr\n"
                  "Interfaces=org.freedesktop.impl.portal.Screenshot;\nUseIn=sway;\n");
    }
    ~PortalSetup() {
        for (const auto& [name, value] : _saved) {
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
    }
    void portal(const QString& name, const QString& busName, const char* useIn) const {
        writeFile(QStringLiteral("share/xdg-desktop-portal/portals/%1.portal").arg(name),
                  "# a comment\n[portal]\nDBusName=" + busName.toUtf8() +
                      "\nInterfaces=org.freedesktop.impl.portal.AppChooser;"
                      "org.freedesktop.impl.portal.FileChooser;\nUseIn=" +
                      useIn + "\n");
    }

private:
    QList<QPair<const char*, QByteArray>> _saved;
};

QString otherOn(const char* desktop) {
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    return PortalBackends::otherFileChooser(kOurs);
}

TEST(PortalBackends, TheOtherChooserIsTheOneTheDesktopUsesByUseInThenByFileName) {
    PortalSetup setup;
    // Three name GNOME: the first by file name that is not ours.
    EXPECT_EQ(otherOn("GNOME"), QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));
    EXPECT_EQ(otherOn("KDE"), QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
    // The desktops in the variable's order, compared without case.
    EXPECT_EQ(otherOn("X-Custom:kde:GNOME"), QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
    // None names the desktop: the first file chooser by name.
    EXPECT_EQ(otherOn("sway"), QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));

    // Only ours left: none.
    QDir portals(setup.file(QStringLiteral("share/xdg-desktop-portal/portals")));
    for (const char* name : {"gnome.portal", "gtk.portal", "kde.portal"}) {
        portals.remove(QLatin1String(name));
    }
    EXPECT_TRUE(otherOn("GNOME").isEmpty());
}

TEST(PortalBackends, APortalsConfNamesTheChooserAfterOursOrNone) {
    PortalSetup setup;
    // The system's folders' file, unless the user has one.
    setup.writeFile(QStringLiteral("etc/xdg-desktop-portal/portals.conf"), "[preferred]\ndefault=gtk;\n");
    EXPECT_EQ(otherOn("GNOME"), QStringLiteral("org.freedesktop.impl.portal.desktop.gtk"));
    setup.writeFile(QStringLiteral(".config/xdg-desktop-portal/portals.conf"),
                    "[preferred]\ndefault=gtk;\n"
                    "org.freedesktop.impl.portal.FileChooser=10-qvmediabrowser;missing;kde;gnome\n");
    EXPECT_EQ(otherOn("GNOME"), QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));
    // In one folder, the desktop's own file first.
    setup.writeFile(QStringLiteral(".config/xdg-desktop-portal/gnome-portals.conf"),
                    "[preferred]\norg.freedesktop.impl.portal.FileChooser=none\n");
    EXPECT_TRUE(otherOn("GNOME").isEmpty());
    EXPECT_EQ(otherOn("KDE"), QStringLiteral("org.freedesktop.impl.portal.desktop.kde"));

    // The desktop portal's own folder, when one is given, holds everything.
    qputenv("XDG_DESKTOP_PORTAL_DIR",
            QFile::encodeName(setup.file(QStringLiteral("share/xdg-desktop-portal/portals"))));
    EXPECT_EQ(otherOn("GNOME"), QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));
    setup.writeFile(QStringLiteral("share/xdg-desktop-portal/portals/portals.conf"),
                    "[preferred]\ndefault=*\n");
    EXPECT_EQ(otherOn("KDE"), QStringLiteral("org.freedesktop.impl.portal.desktop.gnome"));
}

} // namespace
