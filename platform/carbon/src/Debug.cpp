#include <carbon/Carbon.h>

#include <cstdio>

void DebugStr(ConstStr255Param message)
{
    if (!message)
        return;
    std::fwrite(message + 1, 1, message[0], stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
