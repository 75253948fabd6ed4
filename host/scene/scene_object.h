// The scene object library's base wrappers.
//
// Scene objects are reference counted and identified by OpaqueTQ3Object*. A wrapper is used
// by value: it holds one reference to its object for as long as it lives (copies hold one
// each) and releases it when it goes. A wrapper may be empty (wrap no object); every
// operation on an empty wrapper, on an object of the wrong kind, or with a missing
// attribute or an empty position throws CSceneException. Nothing else is thrown.
//
// Types. Each object has a chain of four-character codes from its most general kind to its
// leaf kind, such as "shap" "grup" "dspg" "ordg" for an ordered display group. GetType()
// answers the code one step below the wrapper's own class (a CSharedObject gives "shap", a
// CShapeObject "grup", a CGroupObject "dspg"), or the leaf where the chain ends sooner;
// GetLeafType() gives the last code and IsType() looks along the whole chain.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/four_char_code.h"

struct OpaqueTQ3Object;
struct OpaqueTQ3GroupPosition;

using TQ3ObjectType = FourCharCode;
using TQ3AttributeType = int32_t;

class CSceneException : public std::runtime_error {
public:
    explicit CSceneException(std::string const& message);
    ~CSceneException() override;
};

class C3DObject {
public:
    // An empty wrapper.
    C3DObject() = default;
    // Takes a reference of its own to object (null gives an empty wrapper).
    explicit C3DObject(OpaqueTQ3Object* object);
    C3DObject(C3DObject const& other);
    C3DObject(C3DObject&& other) noexcept;
    C3DObject& operator=(C3DObject const& other);
    C3DObject& operator=(C3DObject&& other) noexcept;
    virtual ~C3DObject();

    // Releases a reference that the caller owns (one taken with GetReference, or handed
    // over by the library); null is ignored.
    static void Dispose(OpaqueTQ3Object* object);
    // Releases this wrapper's reference now; the wrapper becomes empty.
    void Dispose();

    bool IsEmpty() const { return fObject == nullptr; }
    // The object, borrowed: valid while this wrapper (or another reference) holds it.
    OpaqueTQ3Object* GetObject() const { return fObject; }
    // A new reference to the object that the caller owns and releases with Dispose.
    OpaqueTQ3Object* GetReference() const;

    TQ3ObjectType GetType() const;
    TQ3ObjectType GetLeafType() const;
    bool IsType(TQ3ObjectType type) const;
    bool IsAGroup() const { return IsType("grup"_4cc); }
    bool IsALight() const { return IsType("lght"_4cc); }
    bool IsATransform() const { return IsType("xfrm"_4cc); }
    bool IsAGeometry() const { return IsType("gmtr"_4cc); }
    bool IsACamera() const { return IsType("cmra"_4cc); }

    bool operator==(C3DObject const& other) const { return fObject == other.fObject; }

protected:
    // Wraps object; requiredType, when not 0, must be on its type chain, else CSceneException
    // (and no reference is kept). With adopt the wrapper takes over a reference the caller
    // owned (an object the library has just made) instead of adding one.
    C3DObject(OpaqueTQ3Object* object, TQ3ObjectType requiredType, bool adopt = false);
    // Where the wrapper's class sits on the type chain: GetType() answers the code at this
    // level (0 the most general kind).
    virtual int Level() const { return 0; }
    // Throws unless the wrapper holds an object; returns it.
    OpaqueTQ3Object* Require() const;

private:
    OpaqueTQ3Object* fObject = nullptr;
};

class CGroupObject;

// Any shared object: a shape, an attribute set, a view, a draw context.
class CSharedObject : public C3DObject {
public:
    CSharedObject() = default;
    explicit CSharedObject(OpaqueTQ3Object* object);
    CSharedObject(C3DObject const& object);
    // The member of group at position; throws for a null position.
    CSharedObject(CGroupObject const& group, OpaqueTQ3GroupPosition* position);

protected:
    using C3DObject::C3DObject;
};
