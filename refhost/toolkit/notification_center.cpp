#include "host/cocoa/ns_notification_center.h"

#include <algorithm>

NSNotificationCenter* NSNotificationCenter::defaultCenter() {
    // Never destroyed: objects that end during the program's own end (a plug-in's palette
    // controller, held until its module goes) still stop observing as they go.
    static NSNotificationCenter* const center = new NSNotificationCenter;
    return center;
}

void NSNotificationCenter::addObserver(NSObject* observer, Callback callback,
                                       NSNotificationName name, NSObject* object) {
    fObservers.push_back(Registration{observer, std::move(callback),
                                      name == nullptr ? std::string() : std::string(name), object,
                                      name == nullptr});
}

void NSNotificationCenter::removeObserver(NSObject* observer) {
    std::erase_if(fObservers, [observer](Registration const& r) { return r.observer == observer; });
}

void NSNotificationCenter::removeObserver(NSObject* observer, NSNotificationName name,
                                          NSObject* object) {
    std::erase_if(fObservers, [&](Registration const& r) {
        return r.observer == observer && (name == nullptr || (!r.anyName && r.name == name)) &&
               (object == nullptr || r.object == object);
    });
}

void NSNotificationCenter::postNotification(NSNotification* notification) {
    // A callback may add or remove observers; those registered when the notification went
    // out are the ones told, unless removed on the way.
    std::vector<Registration> const snapshot = fObservers;
    for (auto const& r : snapshot) {
        if (!r.anyName && r.name != notification->name()) {
            continue;
        }
        if (r.object != nullptr && r.object != notification->object()) {
            continue;
        }
        bool const stillThere =
            std::any_of(fObservers.begin(), fObservers.end(), [&](Registration const& live) {
                return live.observer == r.observer && live.name == r.name &&
                       live.object == r.object;
            });
        if (stillThere) {
            r.callback(notification);
        }
    }
}

void NSNotificationCenter::postNotificationName(NSNotificationName name, NSObject* object) {
    NSNotification notification(name, object);
    postNotification(&notification);
}
