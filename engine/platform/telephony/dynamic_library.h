#pragma once
// The platform seam for loading a shared library at run time: the only place in the telephony
// code that touches the operating system's loader (dynamic_library_posix.cpp on Linux; a
// LoadLibrary/GetProcAddress twin goes beside it for Windows).

#include <memory>
#include <string>

namespace vorla::telephony {

class DynamicLibrary {
public:
    // Null when the library cannot be loaded; *error (when given) then says why.
    static std::unique_ptr<DynamicLibrary> Open(const std::string& nameOrPath, std::string* error = nullptr);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Null when the library has no such export.
    void* Find(const char* symbol) const;

    // The folder of the running program's executable, without a trailing slash; empty when the
    // system does not say. Providers that ship with the program are found from there.
    static std::string ProgramDirectory();

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace vorla::telephony
