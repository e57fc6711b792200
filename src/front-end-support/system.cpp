#include "front-end-support/system.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int arg_count = 0;
char** arg_vector = nullptr;

}

int OpenInput(const char* file_name) { return ::open(file_name, O_RDONLY | O_CLOEXEC); }

int OpenOutput(const char* file_name) { return ::open(file_name, O_WRONLY | O_CREAT | O_TRUNC, 0666); }

int Read(int file, char* buffer, int size)
{
    return static_cast<int>(::read(file, buffer, static_cast<std::size_t>(size)));
}

int Write(int file, const char* buffer, int size)
{
    return static_cast<int>(::write(file, buffer, static_cast<std::size_t>(size)));
}

void Close(int file) { ::close(file); }

bool IsCharacterSpecial(int file)
{
    struct stat status;
    return ::fstat(file, &status) == 0 && S_ISCHR(status.st_mode);
}

void* (*SysAlloc_source)(unsigned long size) = [](unsigned long size) { return std::malloc(size); };

void* SysAlloc(unsigned long size) { return SysAlloc_source(size); }

long Time() { return static_cast<long>(std::clock() / 1000); }

void PutArgs(int argc, char** argv)
{
    arg_count = argc;
    arg_vector = argv;
}

int GetArgCount() { return arg_count; }

void GetArgument(int i, char* buffer)
{
    const char* argument = 0 <= i && i < arg_count ? arg_vector[i] : "";
    std::memcpy(buffer, argument, std::strlen(argument) + 1);
}

int ErrNum() { return errno; }

int System(const char* command) { return std::system(command); }

void Exit(int status) { std::exit(status); }
