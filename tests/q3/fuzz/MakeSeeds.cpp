// Writes the seed corpus for the model-file fuzzer: the test samples in
// both encodings, a few damaged variants of them, and files of shared
// groups many levels deep.

#include "../MetafileSamples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void Write(const std::filesystem::path& folder, const std::string& name, const samples::Bytes& bytes)
{
    std::ofstream stream(folder / name, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    const samples::Bytes mesh = samples::TexturedMeshFile();
    Write(folder, "textured-mesh.3dmf", mesh);
    Write(folder, "groups-and-solids.3dmf", samples::GroupAndSolidsFile());
    Write(folder, "textured-mesh.txt", samples::FromText(samples::TexturedMeshText()));
    Write(folder, "groups-and-solids.txt", samples::FromText(samples::GroupAndSolidsText()));
    Write(folder, "truncated-mesh.3dmf", samples::Bytes(mesh.begin(), mesh.begin() + mesh.size() / 2));
    samples::Bytes lying = mesh;
    lying[samples::Header().size() + 4] = 0x7F; // the container's size
    Write(folder, "lying-size.3dmf", lying);

    // Shared objects: references resolved through tables of contents.
    Write(folder, "shared-set.3dmf", samples::SharedSetFile());
    Write(folder, "shared-set.txt", samples::FromText(samples::SharedSetText()));
    Write(folder, "self-reference.3dmf", samples::SharedSetFile([](const samples::SharedPlaces& places) {
        return samples::TableOfContents({ { 1, places.reference, "rfrn" } });
    }));
    Write(folder, "lying-table.3dmf", samples::SharedSetFile([](const samples::SharedPlaces& places) {
        return samples::TableOfContents({ { 1, places.set, "tmsh" }, { 2, places.table + 9 } }, 16, 3);
    }));
    samples::Builder clamped;
    clamped.Object("tmsh", samples::TriMesh())
        .Object("atar", samples::UVArray(-1, 2))
        .Object("cntr",
            samples::AttributeSet(samples::ShaderData(1, 0),
                samples::Builder().Object("kxpr", samples::Builder().F32(0.5f).F32(0.5f).F32(0.5f).bytes).bytes));
    Write(folder, "clamped-transparent.3dmf",
        samples::Builder().Raw(samples::Header()).Object("cntr", clamped.bytes).bytes);

    // Shared groups many levels deep, each level a group referring to the
    // one below twice (each level doubling what a view visits, far past the
    // library's limit) or once (a chain).
    Write(folder, "doubling-levels.3dmf", samples::SharedLevelsFile(24, 2));
    Write(folder, "doubling-levels.txt", samples::FromText(samples::SharedLevelsText(24, 2)));
    Write(folder, "chained-levels.3dmf", samples::SharedLevelsFile(48, 1));
    Write(folder, "chained-levels.txt", samples::FromText(samples::SharedLevelsText(48, 1)));

    // More objects than a reader would read if it stood still, each read
    // moving on: progress, however long.
    constexpr int ManyObjects = 100001;
    samples::Builder many;
    many.Raw(samples::Header());
    for (int i = 0; i < ManyObjects; ++i)
        many.Object("attr", {});
    Write(folder, "many-empty-objects.3dmf", many.bytes);
    return 0;
}
