#include "PluginLoader.h"

#include "ClassRegistry.h"

#include <lxframework/Runtime.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fstream>
#include <link.h>
#include <set>
#include <system_error>
#include <vector>

namespace lx {

namespace {

    constexpr const char* PluginFolderName = "plugins";
    constexpr const char* PluginModuleExtension = ".so";
    constexpr const char* PluginEntryName = "VANTPluginMain";

    std::vector<LxPluginMain>& StaticPlugins()
    {
        static std::vector<LxPluginMain> plugins;
        return plugins;
    }

    // Every plug-in's entry point runs exactly once, however often loading runs
    // and however the plug-in was found; false when it ran before.
    bool RunPlugin(LxPluginMain main)
    {
        static std::set<LxPluginMain> started;
        if (!main || !started.insert(main).second)
            return false;
        CallPlugin([&] { main(&HostResolver); });
        ThrowPendingException();
        return true;
    }

    // Everything named like a module, files or not: what cannot be one is
    // told apart, and reported, when it is loaded.
    std::vector<std::filesystem::path> PluginModules(const std::filesystem::path& folder)
    {
        std::error_code error;
        std::vector<std::filesystem::path> modules;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            if (entry.path().extension() == PluginModuleExtension)
                modules.push_back(entry.path());
        }
        std::sort(modules.begin(), modules.end());
        return modules;
    }

    // Why the name is not a file that could be read as a module, or empty when
    // it is one (or is not there at all, which reading it reports). Opening
    // anything but a plain file could block, or read a directory as nothing.
    std::string NotAFileProblem(const std::filesystem::path& path)
    {
        std::error_code error;
        const auto link = std::filesystem::symlink_status(path, error);
        const auto target = std::filesystem::status(path, error);
        if (std::filesystem::is_symlink(link) && !std::filesystem::exists(target))
            return "it is a symbolic link to nothing";
        if (std::filesystem::is_directory(target))
            return "it is a directory";
        if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target))
            return "it is not a regular file";
        return {};
    }

    void ReportNotLoaded(const std::filesystem::path& path, const std::string& reason)
    {
        std::fprintf(stderr, "lxframework: plug-in %s not loaded: %s\n", path.c_str(), reason.c_str());
        std::fflush(stderr);
    }

    template <class T> bool ReadAt(std::ifstream& file, std::uint64_t offset, T& value)
    {
        file.seekg(static_cast<std::streamoff>(offset));
        return static_cast<bool>(file.read(reinterpret_cast<char*>(&value), sizeof value));
    }

    // What a module must match: the class, byte order and machine this
    // program was built for, known at compile time.
    constexpr unsigned char OwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    constexpr unsigned char OwnByteOrder = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
#if defined(__x86_64__)
    constexpr auto OwnMachine = EM_X86_64;
#elif defined(__aarch64__)
    constexpr auto OwnMachine = EM_AARCH64;
#elif defined(__i386__)
    constexpr auto OwnMachine = EM_386;
#else
#error "the plug-in loader does not know this machine's ELF code"
#endif

    bool InsideFile(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize)
    {
        return offset <= fileSize && size <= fileSize - offset;
    }

    std::string SegmentsProblem(std::ifstream& file, const ElfW(Ehdr)& header, std::uint64_t fileSize)
    {
        if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0)
            return "it has no program headers";
        if (!InsideFile(header.e_phoff, std::uint64_t(header.e_phnum) * sizeof(ElfW(Phdr)), fileSize))
            return "its program headers lie outside the file";
        for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
            ElfW(Phdr) segment {};
            if (!ReadAt(file, header.e_phoff + i * sizeof segment, segment))
                return "its program headers cannot be read";
            if (segment.p_type == PT_LOAD && !InsideFile(segment.p_offset, segment.p_filesz, fileSize))
                return "a loadable segment lies outside the file (the file is cut short)";
        }
        return {};
    }

    // Modules stay loaded for the life of the process: their classes and records
    // are in use until exit.
    LxPluginMain LoadModule(const std::filesystem::path& path)
    {
        if (std::string problem = ModuleFileProblem(path); !problem.empty()) {
            ReportNotLoaded(path, problem);
            return nullptr;
        }
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* error = dlerror();
            ReportNotLoaded(path, error ? error : "the dynamic loader refused it");
            return nullptr;
        }
        auto main = reinterpret_cast<LxPluginMain>(dlsym(module, PluginEntryName));
        if (!main)
            ReportNotLoaded(path, std::string("it has no ") + PluginEntryName);
        return main;
    }

}

std::string ModuleFileProblem(const std::filesystem::path& path)
{
    if (std::string problem = NotAFileProblem(path); !problem.empty())
        return problem;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::string("it cannot be read: ") + std::strerror(errno);
    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(path, error);
    ElfW(Ehdr) header {};
    if (error || !ReadAt(file, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return "it is not an ELF file";
    if (header.e_ident[EI_CLASS] != OwnClass || header.e_ident[EI_DATA] != OwnByteOrder || header.e_machine != OwnMachine)
        return "it is built for another machine";
    if (header.e_type != ET_DYN)
        return "it is not a shared object";
    return SegmentsProblem(file, header, fileSize);
}

bool RunPluginModule(const std::filesystem::path& path)
{
    LxPluginMain main = LoadModule(path);
    if (!main)
        return false;
    const std::size_t refusedBefore = ClassRegistry::Instance().RefusedVersions().size();
    if (!RunPlugin(main))
        return true; // started before
    const auto& refused = ClassRegistry::Instance().RefusedVersions();
    if (refused.size() == refusedBefore)
        return true;
    ReportNotLoaded(path,
        "its class records are of version " + std::to_string(refused.back()) + ", not "
            + std::to_string(LxRecordVersion));
    return false;
}

void RunPluginFolder(const std::filesystem::path& folder)
{
    for (const auto& path : PluginModules(folder))
        RunPluginModule(path);
}

void RuntimeRegisterStaticPlugin(LxPluginMain main) { StaticPlugins().push_back(main); }

void RuntimeInitExternalClasses()
{
    RuntimeInit();
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error)
        RunPluginFolder(executable.parent_path() / PluginFolderName);
    for (LxPluginMain main : StaticPlugins())
        RunPlugin(main);
    ClassRegistry::Instance().RejectPendingRecords();
}

}
