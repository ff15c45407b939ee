<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>BrowserController</name>
    <message>
        <source>Pictures</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musique</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Films</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lire</translation>
    </message>
    <message>
        <source>Nothing to play</source>
        <translation>Rien à lire</translation>
    </message>
    <message numerus="yes">
        <source>%n item(s)</source>
        <translation>
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
    <message>
        <source>Loading… %1 %</source>
        <translation>Chargement… %1 %</translation>
    </message>
    <message>
        <source>Loading…</source>
        <translation>Chargement…</translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation>Illisible</translation>
    </message>
    <message>
        <source>Cannot play “%1”</source>
        <translation>Impossible de lire « %1 »</translation>
    </message>
</context>
<context>
    <name>EmptyPlaceHint</name>
    <message>
        <source>Add a Folder…</source>
        <translation>Ajouter un dossier…</translation>
    </message>
    <message>
        <source>No pictures here</source>
        <translation>Aucune image ici</translation>
    </message>
    <message>
        <source>No music here</source>
        <translation>Aucune musique ici</translation>
    </message>
    <message>
        <source>No movies here</source>
        <translation>Aucun film ici</translation>
    </message>
    <message>
        <source>No folders of pictures yet</source>
        <translation>Pas encore de dossier d’images</translation>
    </message>
    <message>
        <source>No folders of music yet</source>
        <translation>Pas encore de dossier de musique</translation>
    </message>
    <message>
        <source>No folders of movies yet</source>
        <translation>Pas encore de dossier de films</translation>
    </message>
    <message>
        <source>Choose a source</source>
        <translation>Choisissez une source</translation>
    </message>
</context>
<context>
    <name>ItemContextMenu</name>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lire</translation>
    </message>
    <message>
        <source>Open With Default Application</source>
        <translation>Ouvrir avec l’application par défaut</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
</context>
<context>
    <name>ItemDetails</name>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 pixels</translation>
    </message>
    <message>
        <source>Taken %1</source>
        <translation>Prise le %1</translation>
    </message>
</context>
<context>
    <name>MediaBrowser</name>
    <message>
        <source>Media Browser</source>
        <translation>Navigateur de médias</translation>
    </message>
    <message>
        <source>Media kinds</source>
        <translation>Types de médias</translation>
    </message>
    <message>
        <source>Picture sources</source>
        <translation>Sources d’images</translation>
    </message>
    <message>
        <source>Music sources</source>
        <translation>Sources de musique</translation>
    </message>
    <message>
        <source>Movie sources</source>
        <translation>Sources de films</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Commandes</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
</context>
<context>
    <name>MediaBrowserWindow</name>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Films</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>Morceaux</translation>
    </message>
    <message>
        <source>Clear search</source>
        <translation>Effacer la recherche</translation>
    </message>
</context>
<context>
    <name>MovieListController</name>
    <message>
        <source>Playing</source>
        <translation>Lecture en cours</translation>
    </message>
    <message>
        <source>Playing %1</source>
        <translation>Lecture de %1</translation>
    </message>
</context>
<context>
    <name>MusicListController</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Artiste</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Durée</translation>
    </message>
</context>
<context>
    <name>PickerMode</name>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
</context>
<context>
    <name>PicturePreview</name>
    <message>
        <source>Previous Picture</source>
        <translation>Image précédente</translation>
    </message>
    <message>
        <source>Next Picture</source>
        <translation>Image suivante</translation>
    </message>
    <message>
        <source>Actual Size (1)</source>
        <translation>Taille réelle (1)</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Taille réelle</translation>
    </message>
    <message>
        <source>“%1” cannot be shown.</source>
        <translation>Impossible d’afficher « %1 ».</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Media Browser Preferences</source>
        <translation>Préférences du navigateur de médias</translation>
    </message>
    <message>
        <source>Folders searched for pictures, music and movies:</source>
        <translation>Dossiers où chercher les images, la musique et les films&#xa0;:</translation>
    </message>
    <message>
        <source>Save thumbnails in the desktop&apos;s shared thumbnail cache</source>
        <translation>Enregistrer les vignettes dans le cache de vignettes partagé du bureau</translation>
    </message>
    <message>
        <source>Thumbnails made here are kept in ~/.cache/thumbnails, where file managers and photo browsers find them too</source>
        <translation>Les vignettes créées ici sont gardées dans ~/.cache/thumbnails, où les gestionnaires de fichiers et les navigateurs de photos les trouvent aussi</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <source>Add…</source>
        <translation>Ajouter…</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Add a folder to the selected category</source>
        <translation>Ajouter un dossier à la catégorie sélectionnée</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Remove the selected folder</source>
        <translation>Retirer de la liste le dossier sélectionné</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Add Location…</source>
        <translation>Ajouter un emplacement…</translation>
    </message>
    <message>
        <source>Add Location</source>
        <translation>Ajouter un emplacement</translation>
    </message>
    <message>
        <source>Add a network share (smb://, sftp://, nfs://, dav://) to the selected category</source>
        <translation>Ajouter un partage réseau (smb://, sftp://, nfs://, dav://) à la catégorie sélectionnée</translation>
    </message>
    <message>
        <source>Show the media servers of the local network</source>
        <translation>Afficher les serveurs multimédias du réseau local</translation>
    </message>
    <message>
        <source>Look for DLNA and UPnP media servers and show their pictures, music and movies</source>
        <translation>Chercher les serveurs multimédias DLNA et UPnP et afficher leurs images, leur musique et leurs films</translation>
    </message>
</context>
<context>
    <name>PrefsController</name>
    <message>
        <source>Pictures</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musique</translation>
    </message>
    <message>
        <source>Movies</source>
        <translation>Films</translation>
    </message>
    <message>
        <source>Add a Folder</source>
        <translation>Ajouter un dossier</translation>
    </message>
    <message>
        <source>Add a Location</source>
        <translation>Ajouter un emplacement</translation>
    </message>
    <message>
        <source>Network share (smb://, sftp://, nfs://, dav://):</source>
        <translation>Partage réseau (smb://, sftp://, nfs://, dav://) :</translation>
    </message>
</context>
<context>
    <name>QVMBPanel</name>
    <message>
        <source>Media Browser</source>
        <translation>Navigateur de médias</translation>
    </message>
</context>
<context>
    <name>QVMediaBrowserController</name>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Show Media Browser</source>
        <translation>Afficher le navigateur de médias</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Media Browser</source>
        <translation>Navigateur de médias</translation>
    </message>
</context>
<context>
    <name>QVMediaPicker</name>
    <message>
        <source>Choose Media</source>
        <translation>Choisir des médias</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Media Browser</source>
        <translation>Navigateur de médias</translation>
    </message>
</context>
<context>
    <name>RemoteDragData</name>
    <message>
        <source>Fetching files from the network…</source>
        <translation>Récupération des fichiers sur le réseau…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
</TS>
