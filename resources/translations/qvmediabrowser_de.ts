<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BrowserController</name>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musik</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Filme</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Nothing to play</source>
        <translation>Nichts zum Abspielen</translation>
    </message>
    <message numerus="yes">
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <source>Loading… %1 %</source>
        <translation>Wird geladen… %1 %</translation>
    </message>
    <message>
        <source>Loading…</source>
        <translation>Wird geladen…</translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation>Nicht lesbar</translation>
    </message>
</context>
<context>
    <name>MediaBrowser</name>
    <message>
        <source>Media Browser</source>
        <translation>Medienbrowser</translation>
    </message>
    <message>
        <source>Media kinds</source>
        <translation>Medienarten</translation>
    </message>
    <message>
        <source>Picture sources</source>
        <translation>Bildquellen</translation>
    </message>
    <message>
        <source>Music sources</source>
        <translation>Musikquellen</translation>
    </message>
    <message>
        <source>Movie sources</source>
        <translation>Filmquellen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
</context>
<context>
    <name>MediaBrowserWindow</name>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Filme</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Suche löschen</translation>
    </message>
</context>
<context>
    <name>MovieListController</name>
    <message>
        <source>Playing</source>
        <translation>Wird abgespielt</translation>
    </message>
    <message>
        <source>Playing %1</source>
        <translation>%1 wird abgespielt</translation>
    </message>
</context>
<context>
    <name>MusicListController</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Dauer</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Media Browser Preferences</source>
        <translation>Einstellungen des Medienbrowsers</translation>
    </message>
    <message>
        <source>Folders searched for pictures, music and movies:</source>
        <translation>Ordner, in denen nach Bildern, Musik und Filmen gesucht wird:</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>Hinzufügen …</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Add a folder to the selected category</source>
        <translation>Einen Ordner zur ausgewählten Kategorie hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove the selected folder</source>
        <translation>Den ausgewählten Ordner aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Add Location…</source>
        <translation>Ort hinzufügen …</translation>
    </message>
    <message>
        <source>Add Location</source>
        <translation>Ort hinzufügen</translation>
    </message>
    <message>
        <source>Add a network share (smb://, sftp://, nfs://, dav://) to the selected category</source>
        <translation>Eine Netzwerkfreigabe (smb://, sftp://, nfs://, dav://) zur ausgewählten Kategorie hinzufügen</translation>
    </message>
    <message>
        <source>Show the media servers of the local network</source>
        <translation>Medienserver im lokalen Netzwerk anzeigen</translation>
    </message>
    <message>
        <source>Look for DLNA and UPnP media servers and show their pictures, music and movies</source>
        <translation>Nach DLNA- und UPnP-Medienservern suchen und ihre Bilder, Musik und Filme anzeigen</translation>
    </message>
</context>
<context>
    <name>PrefsController</name>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musik</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Filme</translation>
    </message>
    <message>
        <source>Add a Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Add a Location</source>
        <translation>Ort hinzufügen</translation>
    </message>
    <message>
        <source>Network share (smb://, sftp://, nfs://, dav://):</source>
        <translation>Netzwerkfreigabe (smb://, sftp://, nfs://, dav://):</translation>
    </message>
</context>
<context>
    <name>QVMBPanel</name>
    <message>
        <source>Media Browser</source>
        <translation>Medienbrowser</translation>
    </message>
</context>
<context>
    <name>QVMediaBrowserController</name>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Show Media Browser</source>
        <translation>Medienbrowser anzeigen</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Media Browser</source>
        <translation>Medienbrowser</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Media Browser</source>
        <translation>Medienbrowser</translation>
    </message>
</context>
<context>
    <name>RemoteDragData</name>
    <message>
        <source>Fetching files from the network…</source>
        <translation>Dateien werden aus dem Netzwerk geholt …</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
