// Writes the seed corpus for the model-file fuzzer: the test samples in
// both encodings, and a few damaged variants of them.

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
    return 0;
}
