#include "Lx3DHost.h"

// Every member the game binds is checked through the game's own table (tests/game).

TEST(BindingNames, FieldPropertiesHaveNoBinding)
{
    LoadLx3D();
    for (const char* name : { "Element3D.Position.Get", "Bounds3D.Type.Set", "Material.Handle.Get",
             "Light3D.Brightness.Get", "Lx3DSpace.FieldOfView.Get", "Lx3DSpace.Camera.Set" })
        EXPECT_EQ(lx::RuntimeLookupPluginEntrypoint(name)->kind, uint32_t(LxEntryUnbound)) << name;
}
