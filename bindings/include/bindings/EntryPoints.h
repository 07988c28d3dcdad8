#pragma once

// The game reaches LX3D only through this table: one slot per member, bound by
// binding name at start-up, in slot order, before any application object
// exists. Slot 164 and the slots of the second control plug-in (194 to 218)
// stay unbound and are never called.

#include <lxframework/EntryPoint.h>

#include <cstddef>

namespace bindings {

enum class Slot : int {
    Light3DInit, // 0
    Light3DExit, // 1
    Light3DBrightnessSet, // 2
    Light3DLightColorSet, // 3
    Light3DPositionSet, // 4
    Light3DDirectionSet, // 5
    Light3DAttenuationSet, // 6
    Vector3DVector3D, // 7
    Vector3DVector3DWithXYZ, // 8
    Vector3DVector3DWithVector, // 9
    Vector3DCopy, // 10
    Vector3DLength, // 11
    Vector3DLenSquared, // 12
    Vector3DNormalize, // 13
    Vector3DCross, // 14
    Vector3DDot, // 15
    Vector3DPlus, // 16
    Vector3DMinus, // 17
    Vector3DTimes, // 18
    Vector3DAdd, // 19
    Vector3DSubtract, // 20
    Vector3DMultiplyBy, // 21
    Vector3DLenSquaredSet, // 22
    Vector3DLengthSet, // 23
    Vector3DZGet, // 24
    Vector3DZSet, // 25
    Vector3DYGet, // 26
    Vector3DYSet, // 27
    Vector3DXGet, // 28
    Vector3DXSet, // 29
    Bounds3DBounds3DWithCenterRadius, // 30
    Bounds3DBounds3DWithMinPointMaxPoint, // 31
    Bounds3DIntersects, // 32
    Bounds3DInView, // 33
    Bounds3DContainsPoint, // 34
    Bounds3DLineIntersection, // 35
    Bounds3DLineSegmentIntersection, // 36
    Bounds3DCenterGet, // 37
    Bounds3DRadiusGet, // 38
    Bounds3DMinimumGet, // 39
    Bounds3DMaximumGet, // 40
    QuaternionInit, // 41
    QuaternionQuaternion, // 42
    QuaternionQuaternionWithQuat, // 43
    QuaternionCopy, // 44
    QuaternionNormalize, // 45
    QuaternionInvert, // 46
    QuaternionInverse, // 47
    QuaternionTimes, // 48
    QuaternionMultiplyBy, // 49
    QuaternionSetRotateAboutAxis, // 50
    QuaternionSetBetween, // 51
    QuaternionTransform, // 52
    QuaternionZGet, // 53
    QuaternionZSet, // 54
    QuaternionYGet, // 55
    QuaternionYSet, // 56
    QuaternionXGet, // 57
    QuaternionXSet, // 58
    QuaternionWGet, // 59
    QuaternionWSet, // 60
    MaterialInit, // 61
    MaterialExit, // 62
    MaterialTextureGet, // 63
    MaterialTextureSet, // 64
    MaterialDiffuseColorGet, // 65
    MaterialDiffuseColorSet, // 66
    MaterialHasDiffuseColorGet, // 67
    MaterialHasDiffuseColorSet, // 68
    Element3DInit, // 69
    Element3DExit, // 70
    Element3DMoveForward, // 71
    Element3DRoll, // 72
    Element3DPitch, // 73
    Element3DYaw, // 74
    Element3DObjectToWorldTransform, // 75
    Element3DWorldToObjectTransform, // 76
    Element3DComputeBounds, // 77
    Element3DUpdateBounds, // 78
    Element3DScaleGet, // 79
    Element3DScaleSet, // 80
    Object3DEventRender, // 81
    Object3DInit, // 82
    Object3DExit, // 83
    Object3DAddShapeFromString, // 84
    Object3DAddShapePicture, // 85
    Object3DAddShapePictureWithMask, // 86
    Object3DAddShapeFromFile, // 87
    Object3DAddShapeFromHandle, // 88
    Object3DGetShapeHandle, // 89
    Object3DRemoveShape, // 90
    Object3DClone, // 91
    Object3DMaterial, // 92
    Object3DTrimesh, // 93
    Object3DMaterialSet, // 94
    Object3DShapeSet, // 95
    Object3DShapeCountGet, // 96
    Object3DMaterialCountGet, // 97
    Object3DTrimeshCountGet, // 98
    Group3DEventRender, // 99
    Group3DInit, // 100
    Group3DExit, // 101
    Group3DCount, // 102
    Group3DItem, // 103
    Group3DAppend, // 104
    Group3DRemoveWithIdx, // 105
    Group3DRemoveWithElem, // 106
    Group3DUpdate, // 107
    Group3DItemSet, // 108
    VectorListX, // 109
    VectorListY, // 110
    VectorListZ, // 111
    VectorListSetXYZ, // 112
    VectorListGetVector, // 113
    VectorListSetVector, // 114
    VectorListAddToAll, // 115
    VectorListMultiplyAllBy, // 116
    VectorListNormalizeAll, // 117
    VectorListCopy, // 118
    VectorListAddList, // 119
    VectorListSetToSum, // 120
    VectorListSetToDifference, // 121
    VectorListZSet, // 122
    VectorListYSet, // 123
    VectorListXSet, // 124
    UVListU, // 125
    UVListV, // 126
    UVListGetUV, // 127
    UVListSetUV, // 128
    UVListAddToAll, // 129
    UVListCopy, // 130
    UVListVSet, // 131
    UVListUSet, // 132
    TriangleListA, // 133
    TriangleListB, // 134
    TriangleListC, // 135
    TriangleListGetABC, // 136
    TriangleListSetABC, // 137
    TriangleListCopy, // 138
    TriangleListCSet, // 139
    TriangleListBSet, // 140
    TriangleListASet, // 141
    ColorListItem, // 142
    ColorListAddRGBToAll, // 143
    ColorListCopy, // 144
    ColorListItemSet, // 145
    TrimeshEventRender, // 146
    TrimeshInit, // 147
    TrimeshExit, // 148
    TrimeshVertexPositions, // 149
    TrimeshVertexNormals, // 150
    TrimeshVertexColors, // 151
    TrimeshVertexUVs, // 152
    TrimeshTriangles, // 153
    TrimeshVertexCountSet, // 154
    TrimeshTriangleCountSet, // 155
    TrimeshMaterialGet, // 156
    TrimeshMaterialSet, // 157
    TrimeshHasVertexColorsGet, // 158
    TrimeshHasVertexColorsSet, // 159
    TrimeshHasVertexUVsGet, // 160
    TrimeshHasVertexUVsSet, // 161
    TrimeshHasVertexNormalsGet, // 162
    TrimeshHasVertexNormalsSet, // 163
    Unused, // 164
    Lx3DSpaceFindObject, // 165
    Lx3DSpaceFindPoint, // 166
    Lx3DSpaceUpdate, // 167
    Lx3DSpaceAddLight, // 168
    Lx3DSpaceRemoveLightWithIndex, // 169
    Lx3DSpaceRemoveLightWithLight, // 170
    Lx3DSpaceLight, // 171
    Lx3DSpaceViewHandle, // 172
    Lx3DSpaceGetPicture, // 173
    Lx3DSpaceGetPictureWithWidthHeightDepth, // 174
    Lx3DSpaceLightSet, // 175
    Lx3DSpaceHitherGet, // 176
    Lx3DSpaceHitherSet, // 177
    Lx3DSpaceYonGet, // 178
    Lx3DSpaceYonSet, // 179
    Lx3DSpaceFieldOfViewSet, // 180
    Lx3DSpaceSkyColorSet, // 181
    Lx3DSpaceAmbientLightGet, // 182
    Lx3DSpaceAmbientLightSet, // 183
    Lx3DSpaceAmbientColorGet, // 184
    Lx3DSpaceAmbientColorSet, // 185
    Lx3DSpaceFloodLightGet, // 186
    Lx3DSpaceFloodLightSet, // 187
    Lx3DSpaceFloodColorGet, // 188
    Lx3DSpaceFloodColorSet, // 189
    Lx3DSpaceFogStartGet, // 190
    Lx3DSpaceFogStartSet, // 191
    Lx3DSpaceWireframeSet, // 192
    Lx3DSpaceLightCountGet, // 193
    BevelButtonDeleteAllRows, // 194
    BevelButtonAddRow, // 195
    BevelButtonAddSeparator, // 196
    BevelButtonRemoveRow, // 197
    BevelButtonInsertRow, // 198
    BevelButtonList, // 199
    BevelButtonaddActionNotificationReceiver, // 200
    BevelButtonremoveActionNotificationReceiver, // 201
    BevelButtonListSet, // 202
    BevelButtonCaptionGet, // 203
    BevelButtonCaptionSet, // 204
    BevelButtonCaptionAlignSet, // 205
    BevelButtonCaptionPlacementSet, // 206
    BevelButtonCaptionDeltaSet, // 207
    BevelButtonIconSet, // 208
    BevelButtonIconAlignSet, // 209
    BevelButtonIconDXSet, // 210
    BevelButtonIconDYSet, // 211
    BevelButtonValueSet, // 212
    BevelButtonMenuValueGet, // 213
    BevelButtonMenuValueSet, // 214
    BevelButtonTextFontSet, // 215
    PlacardValueSet, // 216
    DisclosureTriangleValueSet, // 217
    ImageWellImageSet, // 218
};

constexpr std::size_t SlotCount = 219;

// The binding name of a slot.
const char* BindingName(Slot slot);

// Allocates the table and looks every slot up, in slot order. Called once at start-up.
void BindEntryPoints();

// The entry point of a slot; null before the table is bound.
const LxEntryPoint* Entry(Slot slot);

// Calls the member of `slot` on `self` (see lx::Call).
template <class R = void, class... Args> R Call(Slot slot, lx::Object* self, Args&&... args)
{
    return lx::Call<R>(Entry(slot), self, std::forward<Args>(args)...);
}

}
