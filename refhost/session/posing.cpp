#include "refhost/session/posing.h"

#include <algorithm>
#include <stdexcept>

#include "host/matrix4x4.h"
#include "host/scene.h"

namespace refhost {

namespace {

std::string NameOf(CGroupObject const& group, OpaqueTQ3GroupPosition* at) {
    try {
        return CSetObject(CShapeObject(group.GetObjectAt(at))).GetNameAttribute().ToString();
    } catch (CSceneException const&) {
        return {};
    }
}

std::string List(std::vector<std::string> const& names) {
    std::string list;
    for (auto const& name : names) {
        list += (list.empty() ? "" : ", ") + (name.empty() ? std::string("(unnamed)") : name);
    }
    return list.empty() ? "none" : list;
}

// Calls visit for every selected member that is a group.
void ForEachSelectedGroup(Document& document, std::function<void(CGroupObject&)> const& visit) {
    CGroupObject selected(document.SelectedGroup());
    int groups = 0;
    for (auto* at = selected.GetFirstObject(); at; at = selected.NextPosition(at)) {
        if (selected.GetObjectAt(at).IsAGroup()) {
            CGroupObject group(selected, at);
            visit(group);
            ++groups;
        }
    }
    if (groups == 0) {
        throw std::runtime_error("nothing is selected");
    }
}

CTransformObject FirstTransform(CGroupObject& group) {
    if (auto* at = group.GetFirstObjectOfType("xfrm"_4cc)) {
        return CTransformObject(group, at);
    }
    CTransformObject identity{CMatrix4x4(1.0)};
    if (auto* first = group.GetFirstObject()) {
        group.AddBefore(first, identity);
    } else {
        group.AddObject(identity);
    }
    return identity;
}

// The group's centre in its parent's coordinates: the middle of what it draws.
CPoint3D CentreOf(Document const& document, CGroupObject const& group) {
    OpaqueTQ3Object* view = document.CurrentView();
    if (!view) {
        return CPoint3D(0, 0, 0);
    }
    CBoundingBox const box = CViewObject(view).GetBoundingBoxIncludingLights(group, true, nullptr);
    return box.isEmpty ? CPoint3D(0, 0, 0) : box.Middle();
}

// The group's first transform followed by the change, made about the group's centre.
void ChangeAboutCentre(Document& document, CMatrix4x4 const& change) {
    ForEachSelectedGroup(document, [&](CGroupObject& group) {
        CPoint3D const c = CentreOf(document, group);
        CTransformObject transform = FirstTransform(group);
        CVector3D const toCentre(c.x, c.y, c.z);
        transform.SetData(transform.GetMatrix() * TranslateMat(-toCentre) * change *
                          TranslateMat(toCentre));
    });
}

} // namespace

std::vector<std::string> ObjectNames(Document const& document) {
    std::vector<std::string> names;
    for (OpaqueTQ3Object* which : {document.SelectedGroup(), document.OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            names.push_back(NameOf(group, at));
        }
    }
    return names;
}

void DeselectAll(Document& document) {
    CGroupObject selected(document.SelectedGroup());
    CGroupObject others(document.OtherGroup());
    while (auto* first = selected.GetFirstObject()) {
        others.AddObject(CSharedObject(selected, first));
        selected.RemoveObject(first);
    }
}

void SelectObjects(Document& document, std::vector<std::string> const& names) {
    for (auto const& name : names) {
        auto const all = ObjectNames(document);
        if (std::find(all.begin(), all.end(), name) == all.end()) {
            throw std::runtime_error("no object is named '" + name + "' (objects: " + List(all) +
                                     ")");
        }
    }
    DeselectAll(document);
    CGroupObject selected(document.SelectedGroup());
    CGroupObject others(document.OtherGroup());
    for (auto const& name : names) {
        for (auto* at = others.GetFirstObject(); at; at = others.NextPosition(at)) {
            if (NameOf(others, at) == name) {
                selected.AddObject(CSharedObject(others, at));
                others.RemoveObject(at);
                break;
            }
        }
    }
}

std::vector<SceneMember> SceneMembers(Document const& document) {
    std::vector<SceneMember> members;
    OpaqueTQ3Object* view = document.CurrentView();
    for (OpaqueTQ3Object* which : {document.SelectedGroup(), document.OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            CSharedObject member = group.GetObjectAt(at);
            SceneMember entry{member.GetObject(), which == document.SelectedGroup(), {}};
            if (view && member.IsAGroup()) {
                entry.bounds = CViewObject(view).GetBoundingBoxIncludingLights(CGroupObject(member),
                                                                               true, nullptr);
            }
            members.push_back(entry);
        }
    }
    return members;
}

void SetSelected(Document& document, OpaqueTQ3Object* member, bool selected) {
    CGroupObject from(selected ? document.OtherGroup() : document.SelectedGroup());
    CGroupObject to(selected ? document.SelectedGroup() : document.OtherGroup());
    for (auto* at = from.GetFirstObject(); at; at = from.NextPosition(at)) {
        if (from.GetObjectAt(at).GetObject() == member) {
            to.AddObject(CSharedObject(from, at));
            from.RemoveObject(at);
            return;
        }
    }
}

void MoveSelection(Document& document, CVector3D const& delta) {
    ChangeAboutCentre(document, TranslateMat(delta));
}

void TurnSelection(Document& document, CVector3D const& axis, float radians) {
    ChangeAboutCentre(document, RotateMat(axis, radians));
}

void ScaleSelection(Document& document, CVector3D const& factors) {
    ChangeAboutCentre(document, ScaleMat(factors));
}

void ColourSelection(Document& document, TQ3ColorRGB const& colour, bool specular) {
    ForEachSelectedGroup(document, [&](CGroupObject& group) {
        group.ChangeGroupColor(colour, specular, false, false);
    });
}

void SetSelectionSurface(Document& document, int which, float value) {
    ForEachSelectedGroup(
        document, [&](CGroupObject& group) { group.ChangeGroupSurfaceAttribute(value, which); });
}

OpaqueTQ3Object* ViewCamera(Document const& document) {
    OpaqueTQ3Object* view = document.CurrentView();
    if (!view) {
        throw std::runtime_error("the document has no view");
    }
    return CCameraObject{CViewObject(view)}.GetObject(); // the view keeps it
}

void PlaceCamera(Document& document, TQ3CameraPlacement const& placement) {
    CCameraObject camera(ViewCamera(document));
    TQ3CameraData data{};
    camera.GetCameraData(&data);
    data.placement = placement;
    camera.SetCameraData(data);
}

OpaqueTQ3Object* ViewLight(Document const& document, TQ3ObjectType kind) {
    OpaqueTQ3Object* view = document.CurrentView();
    if (!view) {
        throw std::runtime_error("the document has no view");
    }
    CLightGroupObject lights{CViewObject(view)};
    for (auto* at = lights.GetFirstObject(); at; at = lights.NextPosition(at)) {
        CSharedObject member = lights.GetObjectAt(at);
        if (member.GetLeafType() == kind) {
            return member.GetObject();
        }
    }
    throw std::runtime_error(std::string("the view has no ") +
                             (kind == "ambn"_4cc ? "ambient" : "sun") + " light");
}

void ChangeViewLight(Document& document, TQ3ObjectType kind,
                     std::function<void(TQ3LightData&)> const& change) {
    CLightObject light(ViewLight(document, kind));
    TQ3LightData data{};
    light.GetLightData(&data);
    change(data);
    light.SetLightData(data);
}

void ChangeObjectLight(Document& document, std::string const& name,
                       std::function<void(TQ3LightData&)> const& change) {
    for (OpaqueTQ3Object* which : {document.SelectedGroup(), document.OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            if (NameOf(group, at) != name || !group.GetObjectAt(at).IsAGroup()) {
                continue;
            }
            CGroupObject holder(group, at);
            if (auto* light = holder.GetFirstObjectOfType("lght"_4cc)) {
                CLightObject wrapper(holder.GetObjectAt(light));
                TQ3LightData data{};
                wrapper.GetLightData(&data);
                change(data);
                wrapper.SetLightData(data);
                return;
            }
            throw std::runtime_error("'" + name + "' holds no light");
        }
    }
    throw std::runtime_error("no object is named '" + name +
                             "' (objects: " + List(ObjectNames(document)) + ")");
}

} // namespace refhost
