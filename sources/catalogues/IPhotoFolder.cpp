#include "sources/catalogues/IPhotoFolder.h"

#include "model/QVMedia.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/IPhotoReader.h"

IPhotoFolderPtr IPhotoFolder::create(const QString& name, const QString& pList) {
    // Every new library folder registers its icons afresh.
    loadBundleIcon(QStringLiteral("iPhoto"), QStringLiteral("sl-icon_library.tiff"));
    loadBundleIcon(QStringLiteral("album"), QStringLiteral("sl-icon_album.tiff"));
    loadBundleIcon(QStringLiteral("smartAlbum"), QStringLiteral("sl-icon_smartAlbum.tiff"));
    loadBundleIcon(QStringLiteral("library"), QStringLiteral("sl-icon_library.tiff"));
    loadBundleIcon(QStringLiteral("roll"), QStringLiteral("sl-icon_roll.tiff"));
    loadBundleIcon(QStringLiteral("calendar"), QStringLiteral("sl-icon_cal.tiff"));
    const QString expanded = Path::expandTilde(pList);
    if (!FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<IPhotoFolder>(name, expanded);
}

void IPhotoFolder::addToRoots(const CatalogueRoots& roots) {
    const QString path = QString::fromUtf8(QVMediaIPhotoLibraryPath);
    if (roots.photos != nullptr && FileSystem::exists(Path::expandTilde(path))) {
        if (auto folder = create(QStringLiteral("iPhoto"), path)) {
            roots.photos->addFolder(folder);
        }
    }
}

IPhotoFolder::IPhotoFolder(const QString& name, const QString& expandedPList)
    : CatalogueFolder(name, icon(QStringLiteral("iPhoto")), Library::Pictures)
    , _pList(expandedPList) {
}

CatalogueReader IPhotoFolder::catalogueReader() const {
    return [reader = IPhotoReader(_pList)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
