#include "host/scene/parser.h"

#include "host/scene/shader.h"
#include "refhost/scene/walk.h"

using namespace refhost::scene;

CAttributeSetObject& CVertex3D::GetOrMakeSet() {
    if (fSet.IsEmpty()) {
        fSet = CAttributeSetObject(CSetObject(nullptr, true));
    }
    return fSet;
}

CParserGroup::~CParserGroup() = default;
bool CParserGroup::ParseObject(CGroupObject*, OpaqueTQ3GroupPosition*, CMatrix4x4 const&, bool*) {
    return true;
}
bool CParserGroup::ParseObjectAtributeSet(CSetObject*, CMatrix4x4 const&, bool*) {
    return true;
}
bool CParserGroup::ParseLooseAtributeSet(CAttributeSetObject*, CMatrix4x4 const&, bool*) {
    return true;
}
bool CParserGroup::ParseLooseShader(CShaderObject*, CMatrix4x4 const&, bool*) {
    return true;
}
bool CParserGroup::ParseVertex(CVertex3D*, CMatrix4x4 const&, bool*) {
    return true;
}

CMiniParserGroup::~CMiniParserGroup() = default;
bool CMiniParserGroup::ParseObject(CGroupObject*, OpaqueTQ3GroupPosition*, bool*) {
    return true;
}
bool CMiniParserGroup::ParseObjectAtributeSet(CSetObject*, bool*) {
    return true;
}
bool CMiniParserGroup::ParseLooseAtributeSet(CAttributeSetObject*, bool*) {
    return true;
}
bool CMiniParserGroup::ParseLooseShader(CShaderObject*, bool*) {
    return true;
}
bool CMiniParserGroup::ParseVertex(CVertex3D*, bool*) {
    return true;
}

namespace {

// Calls a parser's callbacks with or without the matrix, whichever it takes.
bool Call(CParserGroup& p, CGroupObject* g, OpaqueTQ3GroupPosition* pos, CMatrix4x4 const& m,
          bool* c) {
    return p.ParseObject(g, pos, m, c);
}
bool Call(CMiniParserGroup& p, CGroupObject* g, OpaqueTQ3GroupPosition* pos, CMatrix4x4 const&,
          bool* c) {
    return p.ParseObject(g, pos, c);
}
bool CallObjectSet(CParserGroup& p, CSetObject* s, CMatrix4x4 const& m, bool* c) {
    return p.ParseObjectAtributeSet(s, m, c);
}
bool CallObjectSet(CMiniParserGroup& p, CSetObject* s, CMatrix4x4 const&, bool* c) {
    return p.ParseObjectAtributeSet(s, c);
}
bool CallLooseSet(CParserGroup& p, CAttributeSetObject* s, CMatrix4x4 const& m, bool* c) {
    return p.ParseLooseAtributeSet(s, m, c);
}
bool CallLooseSet(CMiniParserGroup& p, CAttributeSetObject* s, CMatrix4x4 const&, bool* c) {
    return p.ParseLooseAtributeSet(s, c);
}
bool CallShader(CParserGroup& p, CShaderObject* s, CMatrix4x4 const& m, bool* c) {
    return p.ParseLooseShader(s, m, c);
}
bool CallShader(CMiniParserGroup& p, CShaderObject* s, CMatrix4x4 const&, bool* c) {
    return p.ParseLooseShader(s, c);
}
bool CallVertex(CParserGroup& p, CVertex3D* v, CMatrix4x4 const& m, bool* c) {
    return p.ParseVertex(v, m, c);
}
bool CallVertex(CMiniParserGroup& p, CVertex3D* v, CMatrix4x4 const&, bool* c) {
    return p.ParseVertex(v, c);
}

template <typename Parser>
class ParserVisitor : public WalkVisitor {
public:
    explicit ParserVisitor(Parser& parser) : fParser(parser) {}

    bool Member(Group& group, OpaqueTQ3GroupPosition* position, CMatrix4x4 const& m) override {
        if (!fParser.ParsesObjects()) {
            return true;
        }
        CGroupObject wrapper(&group);
        bool changed = false;
        return Call(fParser, &wrapper, position, m, &changed);
    }
    bool ObjectSet(OpaqueTQ3Object*, AttributeSet& set, CMatrix4x4 const& m) override {
        if (!fParser.ParsesObjectSets()) {
            return true;
        }
        CSetObject wrapper(&set);
        bool changed = false;
        return CallObjectSet(fParser, &wrapper, m, &changed);
    }
    bool LooseSet(AttributeSet& set, CMatrix4x4 const& m) override {
        if (!fParser.ParsesLooseSets()) {
            return true;
        }
        CAttributeSetObject wrapper(&set);
        bool changed = false;
        return CallLooseSet(fParser, &wrapper, m, &changed);
    }
    bool LooseShader(TextureShader& shader, CMatrix4x4 const& m) override {
        if (!fParser.ParsesLooseShaders()) {
            return true;
        }
        CTextureShaderObject wrapper(&shader);
        bool changed = false;
        return CallShader(fParser, &wrapper, m, &changed);
    }
    bool VisitGeometry(Geometry& geometry, CMatrix4x4 const& m) override {
        if (!fParser.ParsesVertices()) {
            return true;
        }
        if (auto* triangle = As<Triangle>(&geometry)) {
            for (Vertex& vertex : triangle->vertices) {
                if (!TriangleVertex(vertex, m)) {
                    return false;
                }
            }
        } else if (auto* mesh = As<TriMesh>(&geometry)) {
            for (std::size_t i = 0; i < mesh->points.size(); ++i) {
                if (!MeshVertex(*mesh, i, m)) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    bool TriangleVertex(Vertex& vertex, CMatrix4x4 const& m) {
        CVertex3D wrapper(vertex.point, CAttributeSetObject(vertex.set));
        bool changed = false;
        bool goOn = CallVertex(fParser, &wrapper, m, &changed);
        if (changed) {
            vertex.point = wrapper.GetPoint();
            Assign(vertex.set, wrapper.GetSet().GetObject());
        }
        return goOn;
    }
    bool MeshVertex(TriMesh& mesh, std::size_t i, CMatrix4x4 const& m) {
        CVertex3D wrapper(mesh.points[i], CAttributeSetObject());
        if (!mesh.uvs.empty()) {
            wrapper.GetOrMakeSet().AddSurfaceUV(mesh.uvs[i]);
        }
        bool changed = false;
        bool goOn = CallVertex(fParser, &wrapper, m, &changed);
        if (changed) {
            mesh.points[i] = wrapper.GetPoint();
            if (wrapper.Contains(kQ3AttributeTypeSurfaceUV)) {
                mesh.uvs.resize(mesh.points.size(), TQ3Param2D{0, 0});
                mesh.uvs[i] = wrapper.GetSurfaceUV();
            }
        }
        return goOn;
    }

    Parser& fParser;
};

} // namespace

void CGroupObject::Parse(CParserGroup& parser, CMatrix4x4 const& matrix) {
    ParserVisitor<CParserGroup> visitor(parser);
    Walk(Require(), matrix, parser.ParsesNonDrawn(), visitor);
}

void CGroupObject::Parse(CMiniParserGroup& parser) {
    ParserVisitor<CMiniParserGroup> visitor(parser);
    Walk(Require(), CMatrix4x4(1.0), parser.ParsesNonDrawn(), visitor);
}
