#pragma once

#include <string>

namespace platform {

// A system library loaded the first time a command needs it rather than when the program
// starts: a library that only one rare command uses (and the libraries it pulls in) then
// costs nothing to every other run.
class SharedLibrary {
  public:
    // The library by its file name ("libxlsxwriter.so.4"), loaded once for the life of the
    // process; null where it is not installed or cannot be loaded, with the system's reason
    // in `why`.
    static const SharedLibrary* Load(const std::string& fileName, std::string& why);

    // The library's function of this name, as a pointer of the given type; null where the
    // library has none.
    template <typename Function>
    Function* Find(const char* name) const {
        return reinterpret_cast<Function*>(Address(name));
    }

  private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* Address(const char* name) const;

    void* handle_;
};

}  // namespace platform
