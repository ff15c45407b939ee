#include "platform/system/NotificationCenter.h"

#include <algorithm>

struct NotificationCenter::Registration {
    const void* observer;
    std::string name;
    const void* object;
    Callback callback;
    bool removed = false;
};

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::NotificationCenter() = default;
NotificationCenter::~NotificationCenter() = default;

void NotificationCenter::addObserver(const void* observer, std::string_view name, const void* object,
                                     Callback callback) {
    auto registration = std::make_shared<Registration>();
    registration->observer = observer;
    registration->name = std::string(name);
    registration->object = object;
    registration->callback = std::move(callback);
    _registrations.push_back(std::move(registration));
}

void NotificationCenter::removeObserver(const void* observer) {
    removeObserver(observer, {}, nullptr);
}

void NotificationCenter::removeObserver(const void* observer, std::string_view name, const void* object) {
    const auto matches = [&](const std::shared_ptr<Registration>& r) {
        return r->observer == observer && (name.empty() || r->name == name) &&
               (object == nullptr || r->object == object);
    };
    for (const auto& r : _registrations) {
        if (matches(r)) {
            // A post in progress holds its own snapshot: the flag keeps it from
            // calling an observer that has just gone.
            r->removed = true;
        }
    }
    std::erase_if(_registrations, matches);
}

void NotificationCenter::postNotification(std::string_view name, const void* object) {
    // Snapshot the matching registrations so that callbacks may change the list.
    std::vector<std::shared_ptr<Registration>> targets;
    for (const auto& r : _registrations) {
        if (r->name == name && (r->object == nullptr || r->object == object)) {
            targets.push_back(r);
        }
    }
    const Notification notification{name, object};
    for (const auto& r : targets) {
        if (!r->removed) {
            // Copy the callback: it may remove (and so destroy) its own registration.
            const Callback callback = r->callback;
            callback(notification);
        }
    }
}

std::size_t NotificationCenter::observerCount() const {
    return _registrations.size();
}
