// The root of the toolkit's objects: what a notification names as its sender and what an
// action passes as its sender. Objects are compared by identity.
#pragma once

class NSObject {
public:
    NSObject() = default;
    NSObject(NSObject const&) = delete;
    NSObject& operator=(NSObject const&) = delete;
    virtual ~NSObject() = default;
};
