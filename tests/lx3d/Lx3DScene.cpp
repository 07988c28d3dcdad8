#include "Lx3DScene.h"

ObjectRef CubeMesh(double side)
{
    ObjectRef mesh = NewObject("Trimesh");
    Set<int32_t>(*mesh, "VertexCount", 8);
    Set<int32_t>(*mesh, "TriangleCount", 12);
    ObjectRef points = InvokeObject("Trimesh.VertexPositions() as VectorList", mesh.Get());
    double h = side / 2;
    for (int32_t i = 0; i < 8; ++i)
        Invoke("VectorList.SetXYZ(index as Integer, x as Double, y as Double, z as Double)", points.Get(), i,
            i & 4 ? h : -h, i & 2 ? h : -h, i & 1 ? h : -h);
    // Two triangles per face, over the corner numbering above.
    const int32_t corners[12][3] = { { 0, 1, 3 }, { 0, 3, 2 }, { 4, 6, 7 }, { 4, 7, 5 }, { 0, 4, 5 }, { 0, 5, 1 },
        { 2, 3, 7 }, { 2, 7, 6 }, { 0, 2, 6 }, { 0, 6, 4 }, { 1, 5, 7 }, { 1, 7, 3 } };
    ObjectRef triangles = InvokeObject("Trimesh.Triangles() as TriangleList", mesh.Get());
    for (int32_t i = 0; i < 12; ++i)
        Invoke("TriangleList.SetABC(index as Integer, a as Integer, b as Integer, c as Integer)", triangles.Get(), i,
            corners[i][0], corners[i][1], corners[i][2]);
    return mesh;
}

GroupChain ChainOfGroups(int levels, lx::Object* leaf, BuildOrder order)
{
    GroupChain chain;
    chain.top = chain.bottom = NewObject("Group3D");
    if (order == BuildOrder::BottomUp)
        Append(chain.bottom.Get(), leaf);
    for (int level = 1; level < levels; ++level) {
        ObjectRef group = NewObject("Group3D");
        if (order == BuildOrder::BottomUp) {
            Append(group.Get(), chain.top.Get());
            chain.top = group;
        } else {
            Append(chain.bottom.Get(), group.Get());
            chain.bottom = group;
        }
    }
    if (order == BuildOrder::TopDown)
        Append(chain.bottom.Get(), leaf);
    return chain;
}
