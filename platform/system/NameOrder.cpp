#include "platform/system/NameOrder.h"

NameOrder::NameOrder() {
    _collator.setNumericMode(true);
    _collator.setCaseSensitivity(Qt::CaseInsensitive);
}

bool NameOrder::lessThan(QStringView a, QStringView b) const {
    const int order = _collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}
