#include <carbon/Carbon.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Open files by reference number. Numbers count up and wrap past the
// positive 16-bit range, skipping those still in use.
struct OpenFiles {
    std::map<int16_t, std::FILE*> files;
    int16_t lastRefNum { 0 };
};

OpenFiles& TheOpenFiles()
{
    static OpenFiles openFiles;
    return openFiles;
}

std::FILE* Find(int16_t refNum)
{
    auto& files = TheOpenFiles().files;
    auto found = files.find(refNum);
    return found == files.end() ? nullptr : found->second;
}

}

OSErr FSMakeFSSpecFromPath(const char* path, FSSpec* fileSpec)
{
    if (!path || !fileSpec)
        return paramErr;
    const size_t length = std::strlen(path);
    if (length == 0 || length >= FSSpecPathCapacity)
        return paramErr;
    std::memcpy(fileSpec->path, path, length + 1);
    return noErr;
}

OSErr FSpOpenDF(const FSSpec* fileSpec, int8_t permission, int16_t* refNum)
{
    if (!fileSpec || !refNum || std::memchr(fileSpec->path, 0, FSSpecPathCapacity) == nullptr)
        return paramErr;
    if (permission != fsRdPerm)
        return permErr;
    std::FILE* file = std::fopen(fileSpec->path, "rb");
    if (!file)
        return fnfErr;
    auto& open = TheOpenFiles();
    do
        open.lastRefNum = static_cast<int16_t>(open.lastRefNum == INT16_MAX ? 1 : open.lastRefNum + 1);
    while (open.files.contains(open.lastRefNum));
    open.files.emplace(open.lastRefNum, file);
    *refNum = open.lastRefNum;
    return noErr;
}

OSErr GetEOF(int16_t refNum, int32_t* size)
{
    std::FILE* file = Find(refNum);
    if (!file)
        return rfNumErr;
    if (!size)
        return paramErr;
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return ioErr;
    const long end = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    if (end < 0 || end > INT32_MAX)
        return ioErr;
    *size = static_cast<int32_t>(end);
    return noErr;
}

OSErr FSRead(int16_t refNum, int32_t* count, void* buffer)
{
    std::FILE* file = Find(refNum);
    if (!file)
        return rfNumErr;
    if (!count || *count < 0 || (*count > 0 && !buffer))
        return paramErr;
    const size_t wanted = static_cast<size_t>(*count);
    const size_t read = std::fread(buffer, 1, wanted, file);
    *count = static_cast<int32_t>(read);
    if (read < wanted)
        return std::ferror(file) ? ioErr : eofErr;
    return noErr;
}

OSErr FSClose(int16_t refNum)
{
    auto& files = TheOpenFiles().files;
    auto found = files.find(refNum);
    if (found == files.end())
        return rfNumErr;
    std::fclose(found->second);
    files.erase(found);
    return noErr;
}
