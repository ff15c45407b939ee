#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

class PlistDictionary;
class PlistValue;
using PlistArray = std::vector<PlistValue>;

// One value of an XML property list: a dictionary, an array, a string, an
// integer (64-bit), a real, a boolean, a date or data; or none, for a value
// that is absent. Accessors never fail: asking a value for another type than
// its own answers that type's empty value, so readers of catalogues can walk
// records whose keys are missing or carry the wrong type. Containers are
// shared and immutable once made, so copying a value is cheap.
class PlistValue {
public:
    enum class Type { None, Dictionary, Array, String, Integer, Real, Boolean, Date, Data };

    PlistValue() = default;

    static PlistValue string(QString text);
    static PlistValue integer(qint64 number);
    static PlistValue real(double number);
    static PlistValue boolean(bool flag);
    static PlistValue date(QDateTime when);
    static PlistValue data(QByteArray bytes);
    static PlistValue array(PlistArray elements);
    static PlistValue dictionary(PlistDictionary entries);

    Type type() const { return static_cast<Type>(_value.index()); }
    bool isNone() const { return type() == Type::None; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }

    // The string, or a null string for any other type.
    QString toString() const;
    // The integer, or nothing for any other type.
    std::optional<qint64> toInteger() const;
    // The real or integer as a real, or nothing for any other type.
    std::optional<double> toReal() const;
    // True for true, and for a number that is not zero; false otherwise.
    bool toBool() const;
    QDateTime toDate() const;
    QByteArray toData() const;
    // The elements, or an empty array for any other type.
    const PlistArray& toArray() const;
    // The entries, or an empty dictionary for any other type.
    const PlistDictionary& toDictionary() const;

    // The value under key of a dictionary; none when absent or when this is no dictionary.
    const PlistValue& value(QStringView key) const;
    bool contains(QStringView key) const;

private:
    std::variant<std::monostate, std::shared_ptr<const PlistDictionary>, std::shared_ptr<const PlistArray>,
                 QString, qint64, double, bool, QDateTime, QByteArray>
        _value;
};

// The entries of a dictionary in the order they were read. Looking a key up is
// a linear search meant for records of a few dozen keys; a key present twice
// answers its last value, as a property list's later entry replaces an earlier one.
class PlistDictionary {
public:
    using Entry = std::pair<QString, PlistValue>;

    void insert(QString key, PlistValue value) { _entries.emplace_back(std::move(key), std::move(value)); }
    void reserve(std::size_t size) { _entries.reserve(size); }
    // The value under key, or null when absent.
    const PlistValue* find(QStringView key) const;

    std::size_t size() const { return _entries.size(); }
    bool empty() const { return _entries.empty(); }
    std::vector<Entry>::const_iterator begin() const { return _entries.begin(); }
    std::vector<Entry>::const_iterator end() const { return _entries.end(); }

private:
    std::vector<Entry> _entries;
};
