#include "platform/system/TextMatch.h"

namespace TextMatch {

namespace {

bool isAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

bool startsWithMark(QStringView text) {
    // No mark comes before the combining diacritics block: the common case
    // answers without a look-up.
    if (text.isEmpty() || text[0].unicode() < 0x300) {
        return false;
    }
    const char32_t c = text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate()
                           ? QChar::surrogateToUcs4(text[0], text[1])
                           : text[0].unicode();
    return QChar::isMark(c);
}

void appendSearchForm(QString& out, const QString& text) {
    if (!isAscii(text)) {
        out.append(searchForm(text));
        return;
    }
    const qsizetype start = out.size();
    out.append(text);
    QChar* folded = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = folded[i].unicode();
        if (c >= u'A' && c <= u'Z') {
            folded[i] = QChar(static_cast<char16_t>(c + 32));
        }
    }
}

QString searchForm(const QString& text) {
    if (isAscii(text)) {
        return text.toLower();
    }
    return text.normalized(QString::NormalizationForm_D)
        .toCaseFolded()
        .normalized(QString::NormalizationForm_C);
}

bool containsSearchForm(QStringView haystack, QStringView needle) {
    if (needle.isEmpty()) {
        return true;
    }
    qsizetype from = 0;
    while (true) {
        const qsizetype at = haystack.indexOf(needle, from);
        if (at < 0) {
            return false;
        }
        if (!startsWithMark(haystack.mid(at + needle.size()))) {
            return true;
        }
        from = at + 1;
    }
}

bool contains(QStringView haystack, const QString& text) {
    // Main thread only, like every caller.
    static QString lastText;
    static QString lastForm;
    if (text != lastText || lastText.isNull()) {
        lastText = text;
        lastForm = searchForm(text);
    }
    return containsSearchForm(haystack, lastForm);
}

} // namespace TextMatch
