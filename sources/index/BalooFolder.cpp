#include "sources/index/BalooFolder.h"

#include "sources/index/BalooReader.h"
#include "sources/index/TrackerFolder.h"

void BalooFolder::addToRoots(const CatalogueRoots& roots) {
    const QString index = BalooIndex::indexFile();
    if (index.isNull() || (!TrackerFolder::indexDatabase().isNull() && !preferred())) {
        return;
    }
    if (roots.photos != nullptr) {
        roots.photos->addFolder(
            std::make_shared<BalooFolder>(QStringLiteral("All Pictures"), index, BalooIndex::Type::Image));
    }
    if (roots.music != nullptr) {
        roots.music->addFolder(
            std::make_shared<BalooFolder>(QStringLiteral("All Music"), index, BalooIndex::Type::Audio));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(
            std::make_shared<BalooFolder>(QStringLiteral("All Movies"), index, BalooIndex::Type::Video));
    }
}

bool BalooFolder::preferred() {
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    return desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive);
}

BalooFolder::BalooFolder(const QString& name, const QString& indexFile, BalooIndex::Type type)
    : CatalogueFolder(name, type == BalooIndex::Type::Audio ? Library::Music : Library::Pictures)
    , _indexFile(indexFile)
    , _type(type) {
}

CatalogueReader BalooFolder::catalogueReader() const {
    return [indexFile = _indexFile, type = _type](LoadProgress& progress) {
        return BalooReader::read(indexFile, type, progress);
    };
}
