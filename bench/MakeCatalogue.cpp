#include "bench/CatalogueGenerator.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// qvmb-make-catalogue itunes|iphoto COUNT FILE [SEED]: writes a generated catalogue.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool countOk = false;
    const int count = args.size() >= 4 ? args.at(2).toInt(&countOk) : 0;
    const quint64 seed = args.size() >= 5 ? args.at(4).toULongLong() : 1;
    if (!countOk || count < 0 ||
        (args.at(1) != QLatin1String("itunes") && args.at(1) != QLatin1String("iphoto"))) {
        std::fprintf(stderr, "usage: qvmb-make-catalogue itunes|iphoto COUNT FILE [SEED]\n");
        return 2;
    }
    const bool ok = args.at(1) == QLatin1String("itunes")
                        ? CatalogueGenerator::writeITunesLibrary(args.at(3), count, seed)
                        : CatalogueGenerator::writeIPhotoLibrary(args.at(3), count, seed);
    return ok ? 0 : 1;
}
