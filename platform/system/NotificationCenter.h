#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A notification: a name and the object it is about (an identity only; never
// dereferenced by the centre). Notifications carry no values: observers ask the
// object again.
struct Notification {
    std::string_view name;
    const void* object = nullptr;
};

// The process-wide, synchronous notification centre. Posting calls every
// matching observer on the calling thread, in registration order, before it
// returns. Observers may add or remove registrations while a post is running:
// a removed observer is not called any more, an added one is called from the
// next post on.
class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // Registers callback for notifications named name about object (any object
    // when object is null). observer is the token used to remove the
    // registration later; it is never dereferenced.
    void addObserver(const void* observer, std::string_view name, const void* object, Callback callback);

    // Removes every registration of observer.
    void removeObserver(const void* observer);
    // Removes the registrations of observer for name and object; an empty name
    // or a null object matches any.
    void removeObserver(const void* observer, std::string_view name, const void* object);

    void postNotification(std::string_view name, const void* object);

    // Number of registrations, for tests.
    std::size_t observerCount() const;

private:
    struct Registration;
    std::vector<std::shared_ptr<Registration>> _registrations;
};
