#include "platform/network/ShareDirectory.h"

#include "platform/network/HelperProtocol.h"
#include "platform/network/NetworkHelper.h"
#include "platform/system/Path.h"

#include <QUrl>

namespace ShareDirectory {

namespace {

// A share has this long to say anything (its listing, a batch of it) before
// the listing counts as lost. Mounting a sleeping NAS can take a while.
constexpr std::chrono::seconds kSilence(60);

const QLatin1String kSchemes[] = {QLatin1String("smb"), QLatin1String("sftp"), QLatin1String("nfs"),
                                  QLatin1String("dav"), QLatin1String("davs"), QLatin1String("ftp"),
                                  QLatin1String("afp")};

qint64 number(const std::string& text) {
    bool ok = false;
    const qint64 value = QByteArray::fromStdString(text).toLongLong(&ok);
    return ok ? value : -1;
}

void addEntries(const HelperProtocol::Message& message, std::vector<ShareEntry>& entries) {
    if (message.size() < 2 || (message.size() - 2) % HelperProtocol::kEntryFields != 0) {
        return;
    }
    for (std::size_t at = 2; at < message.size(); at += HelperProtocol::kEntryFields) {
        const auto field = [&](std::size_t index) -> const std::string& {
            return message[at + index];
        };
        ShareEntry entry;
        // Names and paths are file-system bytes: kept lossless, as local ones are.
        entry.name = Path::fromNative(QByteArray::fromStdString(field(HelperProtocol::EntryName)));
        entry.isDirectory = field(HelperProtocol::EntryType) == "d";
        entry.isFile = field(HelperProtocol::EntryType) == "f";
        entry.size = std::max<qint64>(0, number(field(HelperProtocol::EntrySize)));
        entry.modified =
            field(HelperProtocol::EntryModified).empty() ? -1 : number(field(HelperProtocol::EntryModified));
        entry.uri = QString::fromUtf8(QByteArray::fromStdString(field(HelperProtocol::EntryUri)));
        const std::string& path = field(HelperProtocol::EntryPath);
        if (!path.empty() && path.front() == '/') {
            entry.localPath = Path::fromNative(QByteArray::fromStdString(path));
        }
        if (!entry.name.isEmpty() && !entry.uri.isEmpty()) {
            entries.push_back(std::move(entry));
        }
    }
}

} // namespace

bool isShareLocation(const QString& location) {
    const qsizetype colon = location.indexOf(QLatin1String("://"));
    if (colon <= 0) {
        return false;
    }
    const QString scheme = location.left(colon).toLower();
    for (const QLatin1String& share : kSchemes) {
        if (scheme == share) {
            return true;
        }
    }
    return false;
}

Listing list(const QString& uri, LoadProgress& progress) {
    Listing listing;
    const NetworkHelper::Answer answer =
        NetworkHelper::shared().request({std::string(HelperProtocol::kList), {}, uri.toStdString()}, progress,
                                        kSilence, [&listing](const HelperProtocol::Message& message) {
                                            if (!message.empty() && message[0] == HelperProtocol::kEntries) {
                                                addEntries(message, listing.entries);
                                            }
                                        });
    listing.ok = answer.ok;
    listing.failure = answer.failure;
    return listing;
}

} // namespace ShareDirectory
