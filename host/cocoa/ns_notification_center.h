// Notifications: a name, the object that posts it and observers called back when it is
// posted. The default centre serves the whole process.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/cocoa/ns_object.h"

using NSNotificationName = char const*;
inline constexpr NSNotificationName NSViewBoundsDidChangeNotification =
    "NSViewBoundsDidChangeNotification";
inline constexpr NSNotificationName NSViewFrameDidChangeNotification =
    "NSViewFrameDidChangeNotification";
inline constexpr NSNotificationName NSSplitViewDidResizeSubviewsNotification =
    "NSSplitViewDidResizeSubviewsNotification";
inline constexpr NSNotificationName NSWindowDidResizeNotification = "NSWindowDidResizeNotification";
// Posted by a drawer just before it opens.
inline constexpr NSNotificationName NSDrawerWillOpenNotification = "NSDrawerWillOpenNotification";

class NSNotification {
public:
    NSNotification(std::string name, NSObject* object) : fName(std::move(name)), fObject(object) {}
    std::string const& name() const { return fName; }
    NSObject* object() const { return fObject; }

private:
    std::string fName;
    NSObject* fObject;
};

class NSNotificationCenter {
public:
    using Callback = std::function<void(NSNotification*)>;

    static NSNotificationCenter* defaultCenter();

    // Calls back the observer for every notification of the name (any name when null) from
    // the object (any object when null), in the order the observers were added.
    void addObserver(NSObject* observer, Callback callback, NSNotificationName name,
                     NSObject* object);
    // The observer's method as the callback, like a selector.
    template <class T>
    void addObserver(T* observer, void (T::*selector)(NSNotification*), NSNotificationName name,
                     NSObject* object) {
        addObserver(
            observer, [observer, selector](NSNotification* n) { (observer->*selector)(n); }, name,
            object);
    }
    void removeObserver(NSObject* observer);
    // Removes the observer's registrations for the name and object (null matches any).
    void removeObserver(NSObject* observer, NSNotificationName name, NSObject* object);

    void postNotification(NSNotification* notification);
    void postNotificationName(NSNotificationName name, NSObject* object);

    std::size_t observerCount() const { return fObservers.size(); }

private:
    struct Registration {
        NSObject* observer;
        Callback callback;
        std::string name;
        NSObject* object;
        bool anyName;
    };
    std::vector<Registration> fObservers;
};
