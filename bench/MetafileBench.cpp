// Reads text model files whose labels stand many in a row before one shared
// object, every label listed in the table of contents, as a script hands
// such a file to LX3D. The time per label must stay the same from 10,000
// labels to 100,000: reading is linear in the file's size.

#include <q3/Q3.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The labels, the attribute set they all name, two meshes that refer to
// it, and the table of contents that lists every label.
std::string LabelledFile(int labels)
{
    std::string text = "3DMetafile ( 1 6 Normal toc> )\n";
    for (int i = 0; i < labels; ++i)
        text += "label" + std::to_string(i) + ": ";
    text += "Container ( AttributeSet ( ) DiffuseColor ( 1 0.5 0 ) )\n";
    const std::string mesh = "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )";
    for (int id : { 1, labels })
        text += "Container ( " + mesh + " Reference ( " + std::to_string(id) + " ) )\n";
    text += "toc: TableOfContents ( -1 " + std::to_string(labels + 1) + " -1 0 12 " + std::to_string(labels) + "\n";
    for (int i = 0; i < labels; ++i)
        text += std::to_string(i + 1) + " label" + std::to_string(i) + ">\n";
    return text + ")\n";
}

// Every object of the file, as LX3D reads a string; the number read.
int ReadAll(std::string& text)
{
    auto* bytes = reinterpret_cast<unsigned char*>(text.data());
    const auto size = static_cast<TQ3Uns32>(text.size());
    TQ3StorageObject storage = Q3MemoryStorage_NewBuffer(bytes, size, size);
    TQ3FileObject file = Q3File_New();
    Q3File_SetStorage(file, storage);
    Q3Object_Dispose(storage);
    int read = 0;
    if (Q3File_OpenRead(file, nullptr) == kQ3Success) {
        while (!Q3File_IsEndOfFile(file)) {
            TQ3Object object = Q3File_ReadObject(file);
            read += object ? 1 : 0;
            Q3Object_Dispose(object);
        }
        Q3File_Close(file);
    }
    Q3Object_Dispose(file);
    return read;
}

void ReadLabelledText(benchmark::State& state)
{
    const auto labels = static_cast<int>(state.range(0));
    std::string text = LabelledFile(labels);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAll(text));
    state.SetItemsProcessed(state.iterations() * labels);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.counters["kilobytes"] = static_cast<double>(text.size()) / 1024;
}

}

BENCHMARK(ReadLabelledText)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(100000)->Unit(benchmark::kMillisecond);
