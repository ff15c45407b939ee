#include "platform/catalogues/PlistValue.h"

namespace {

const PlistValue kNone;
const PlistArray kEmptyArray;
const PlistDictionary kEmptyDictionary;

} // namespace

PlistValue PlistValue::string(QString text) {
    PlistValue v;
    v._value = std::move(text);
    return v;
}

PlistValue PlistValue::integer(qint64 number) {
    PlistValue v;
    v._value = number;
    return v;
}

PlistValue PlistValue::real(double number) {
    PlistValue v;
    v._value = number;
    return v;
}

PlistValue PlistValue::boolean(bool flag) {
    PlistValue v;
    v._value = flag;
    return v;
}

PlistValue PlistValue::date(QDateTime when) {
    PlistValue v;
    v._value = std::move(when);
    return v;
}

PlistValue PlistValue::data(QByteArray bytes) {
    PlistValue v;
    v._value = std::move(bytes);
    return v;
}

PlistValue PlistValue::array(PlistArray elements) {
    PlistValue v;
    v._value = std::make_shared<const PlistArray>(std::move(elements));
    return v;
}

PlistValue PlistValue::dictionary(PlistDictionary entries) {
    PlistValue v;
    v._value = std::make_shared<const PlistDictionary>(std::move(entries));
    return v;
}

QString PlistValue::toString() const {
    const auto* text = std::get_if<QString>(&_value);
    return text != nullptr ? *text : QString();
}

std::optional<qint64> PlistValue::toInteger() const {
    if (const auto* number = std::get_if<qint64>(&_value)) {
        return *number;
    }
    return std::nullopt;
}

std::optional<double> PlistValue::toReal() const {
    if (const auto* number = std::get_if<double>(&_value)) {
        return *number;
    }
    if (const auto* number = std::get_if<qint64>(&_value)) {
        return static_cast<double>(*number);
    }
    return std::nullopt;
}

bool PlistValue::toBool() const {
    switch (type()) {
    case Type::Boolean:
        return std::get<bool>(_value);
    case Type::Integer:
        return std::get<qint64>(_value) != 0;
    case Type::Real:
        return std::get<double>(_value) != 0.0;
    default:
        return false;
    }
}

QDateTime PlistValue::toDate() const {
    const auto* when = std::get_if<QDateTime>(&_value);
    return when != nullptr ? *when : QDateTime();
}

QByteArray PlistValue::toData() const {
    const auto* bytes = std::get_if<QByteArray>(&_value);
    return bytes != nullptr ? *bytes : QByteArray();
}

const PlistArray& PlistValue::toArray() const {
    const auto* elements = std::get_if<std::shared_ptr<const PlistArray>>(&_value);
    return elements != nullptr ? **elements : kEmptyArray;
}

const PlistDictionary& PlistValue::toDictionary() const {
    const auto* entries = std::get_if<std::shared_ptr<const PlistDictionary>>(&_value);
    return entries != nullptr ? **entries : kEmptyDictionary;
}

const PlistValue& PlistValue::value(QStringView key) const {
    const PlistValue* found = toDictionary().find(key);
    return found != nullptr ? *found : kNone;
}

bool PlistValue::contains(QStringView key) const {
    return toDictionary().find(key) != nullptr;
}

const PlistValue* PlistDictionary::find(QStringView key) const {
    for (auto it = _entries.rbegin(); it != _entries.rend(); ++it) {
        if (it->first == key) {
            return &it->second;
        }
    }
    return nullptr;
}
