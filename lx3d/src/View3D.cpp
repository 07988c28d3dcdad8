#include "View3D.h"

namespace lx3d {

namespace {

    constexpr uint32_t ControlFlags = 8;
    constexpr uint32_t PaletteId = 128;
    constexpr uint32_t PressedPaletteId = 129;
    constexpr uint32_t DefaultSize = 256;

    // The view's properties, methods, events, behaviours and instance data join
    // the record as the view is built.
    LxBehaviourTable gBehaviour {};

    LxControlRecord gRecord {
        .version = LxRecordVersion,
        .name = "Lx3DSpace",
        .dataSize = 0,
        .flags = ControlFlags,
        .paletteId = PaletteId,
        .pressedPaletteId = PressedPaletteId,
        .defaultWidth = DefaultSize,
        .defaultHeight = DefaultSize,
        .properties = nullptr,
        .propertyCount = 0,
        .methods = nullptr,
        .methodCount = 0,
        .events = nullptr,
        .eventCount = 0,
        .behaviour = &gBehaviour,
        .dataOffset = 0,
    };

}

LxControlRecord& Lx3DSpaceRecord() { return gRecord; }

}
