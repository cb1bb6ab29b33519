#include "platform/telephony/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

namespace vorla::telephony {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& nameOrPath, std::string* error) {
    // RTLD_LOCAL keeps a provider's symbols from answering for another library's lookups.
    void* handle = dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* text = dlerror();
            *error = text ? text : "cannot load " + nameOrPath;
        }
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_) dlclose(handle_);
}

void* DynamicLibrary::Find(const char* symbol) const {
    return handle_ ? dlsym(handle_, symbol) : nullptr;
}

std::string DynamicLibrary::ProgramDirectory() {
    char path[4096];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path);
    if (size <= 0 || static_cast<size_t>(size) >= sizeof path) return {};
    const std::string program(path, static_cast<size_t>(size));
    const auto slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

}  // namespace vorla::telephony
