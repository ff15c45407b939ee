#include "platform/media/LightroomPreview.h"

#include <QRegularExpression>
#include <QtEndian>

namespace LightroomPreview {

namespace {

constexpr qint64 kSectionStart = 24;      // where the name starts in a section header
constexpr qint64 kLongestHeader = 256;    // of a section
constexpr qint64 kLongestTable = 1 << 20; // the "header" section's text
constexpr int kMostLevels = 32;

struct Section {
    QByteArray name;
    qint64 dataOffset = 0;
    qint64 dataLength = 0;
    qint64 next = 0;
};

// The section starting at offset, or none when there is none there.
std::optional<Section> readSection(QIODevice& device, qint64 offset, qint64 fileSize) {
    if (!device.seek(offset)) {
        return std::nullopt;
    }
    const QByteArray start = device.read(kSectionStart);
    if (start.size() != kSectionStart || !start.startsWith("AgHg")) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uchar*>(start.constData());
    const qint64 headerLength = qFromBigEndian<quint16>(bytes + 4);
    const quint64 dataLength = qFromBigEndian<quint64>(bytes + 8);
    const quint64 paddingLength = qFromBigEndian<quint64>(bytes + 16);
    const qint64 remaining = fileSize - offset - headerLength;
    if (headerLength <= kSectionStart || headerLength > kLongestHeader || remaining < 0 ||
        dataLength > static_cast<quint64>(remaining) ||
        paddingLength > static_cast<quint64>(remaining) - dataLength) {
        return std::nullopt;
    }
    Section section;
    section.name = device.read(headerLength - kSectionStart);
    if (section.name.size() != headerLength - kSectionStart) {
        return std::nullopt;
    }
    if (const qsizetype end = section.name.indexOf('\0'); end >= 0) {
        section.name.truncate(end);
    }
    section.dataOffset = offset + headerLength;
    section.dataLength = static_cast<qint64>(dataLength);
    section.next = section.dataOffset + section.dataLength + static_cast<qint64>(paddingLength);
    return section;
}

// The levels' sizes the "header" section's table states, in its order.
std::vector<QSize> tableSizes(const QByteArray& table) {
    std::vector<QSize> sizes;
    const qsizetype levels = table.indexOf("levels");
    if (levels < 0) {
        return sizes;
    }
    // Each level is a table of its own: "{ height = 60, width = 90, }".
    static const QRegularExpression level(QStringLiteral(R"(\{\s*([^{}]*)\})"));
    static const QRegularExpression height(QStringLiteral(R"(\bheight\s*=\s*(\d{1,6})\b)"));
    static const QRegularExpression width(QStringLiteral(R"(\bwidth\s*=\s*(\d{1,6})\b)"));
    const QString text = QString::fromLatin1(table.mid(levels + 6));
    auto found = level.globalMatch(text);
    while (found.hasNext() && sizes.size() < kMostLevels) {
        const QString fields = found.next().captured(1);
        const QRegularExpressionMatch h = height.match(fields);
        const QRegularExpressionMatch w = width.match(fields);
        if (!h.hasMatch() || !w.hasMatch()) {
            break;
        }
        sizes.emplace_back(w.captured(1).toInt(), h.captured(1).toInt());
    }
    return sizes;
}

} // namespace

bool isPreviewFile(const QString& path) {
    return path.endsWith(QLatin1String(".lrprev"), Qt::CaseInsensitive);
}

std::optional<std::vector<Level>> levels(QIODevice& device) {
    const qint64 fileSize = device.size();
    std::optional<Section> section = readSection(device, 0, fileSize);
    if (!section || section->name != "header" || section->dataLength > kLongestTable ||
        !device.seek(section->dataOffset)) {
        return std::nullopt;
    }
    const std::vector<QSize> sizes = tableSizes(device.read(section->dataLength));
    std::vector<Level> found;
    while ((section = readSection(device, section->next, fileSize)) && found.size() < sizes.size()) {
        if (section->name != "level_" + QByteArray::number(found.size() + 1)) {
            break;
        }
        found.push_back({sizes[found.size()], section->dataOffset, section->dataLength});
    }
    if (found.empty() || found.size() != sizes.size()) {
        return std::nullopt;
    }
    for (const Level& level : found) {
        if (level.size.isEmpty()) {
            return std::nullopt;
        }
    }
    return found;
}

const Level& levelFor(const std::vector<Level>& levels, QSize bound) {
    for (const Level& level : levels) {
        const QSize fitted = level.size.scaled(bound, Qt::KeepAspectRatio);
        // A pixel of rounding is not enlarging.
        if (fitted.width() <= level.size.width() + 1 && fitted.height() <= level.size.height() + 1) {
            return level;
        }
    }
    return levels.back();
}

QByteArray jpeg(QIODevice& device, const Level& level) {
    if (level.length <= 0 || level.length > kLargestLevel || !device.seek(level.offset)) {
        return {};
    }
    QByteArray bytes = device.read(level.length);
    return bytes.size() == level.length ? bytes : QByteArray();
}

} // namespace LightroomPreview
