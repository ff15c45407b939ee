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
    <message>
        <source>Cannot play “%1”</source>
        <translation>„%1“ kann nicht abgespielt werden</translation>
    </message>
</context>
<context>
    <name>EmptyPlaceHint</name>
    <message>
        <source>Add a Folder…</source>
        <translation>Ordner hinzufügen …</translation>
    </message>
    <message>
        <source>No pictures here</source>
        <translation>Hier sind keine Bilder</translation>
    </message>
    <message>
        <source>No music here</source>
        <translation>Hier ist keine Musik</translation>
    </message>
    <message>
        <source>No movies here</source>
        <translation>Hier sind keine Filme</translation>
    </message>
    <message>
        <source>No folders of pictures yet</source>
        <translation>Noch keine Ordner mit Bildern</translation>
    </message>
    <message>
        <source>No folders of music yet</source>
        <translation>Noch keine Ordner mit Musik</translation>
    </message>
    <message>
        <source>No folders of movies yet</source>
        <translation>Noch keine Ordner mit Filmen</translation>
    </message>
    <message>
        <source>Choose a source</source>
        <translation>Wählen Sie eine Quelle</translation>
    </message>
</context>
<context>
    <name>ItemContextMenu</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Open With Default Application</source>
        <translation>Mit Standardanwendung öffnen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>ItemDetails</name>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 Pixel</translation>
    </message>
    <message>
        <source>Taken %1</source>
        <translation>Aufgenommen %1</translation>
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
    <name>PickerMode</name>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
</context>
<context>
    <name>PicturePreview</name>
    <message>
        <source>Previous Picture</source>
        <translation>Vorheriges Bild</translation>
    </message>
    <message>
        <source>Next Picture</source>
        <translation>Nächstes Bild</translation>
    </message>
    <message>
        <source>Actual Size (1)</source>
        <translation>Originalgröße (1)</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>“%1” cannot be shown.</source>
        <translation>„%1“ kann nicht angezeigt werden.</translation>
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
        <source>Save thumbnails in the desktop&apos;s shared thumbnail cache</source>
        <translation>Miniaturbilder im gemeinsamen Miniaturbild-Zwischenspeicher der Arbeitsumgebung speichern</translation>
    </message>
    <message>
        <source>Thumbnails made here are kept in ~/.cache/thumbnails, where file managers and photo browsers find them too</source>
        <translation>Hier erstellte Miniaturbilder werden in ~/.cache/thumbnails abgelegt, wo Dateimanager und Fotobrowser sie ebenfalls finden</translation>
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
    <name>QVMediaPicker</name>
    <message>
        <source>Choose Media</source>
        <translation>Medien auswählen</translation>
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
