#include "platform/os/shared_library.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace platform {

const SharedLibrary* SharedLibrary::Load(const std::string& fileName, std::string& why) {
    static std::mutex mutex;
    // Never unloaded: code of a loaded library may still be in use elsewhere.
    static std::map<std::string, SharedLibrary> loaded;
    std::lock_guard lock(mutex);
    auto at = loaded.find(fileName);
    if (at == loaded.end()) {
        void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* reason = dlerror();
            why = reason != nullptr ? reason : fileName;
            return nullptr;
        }
        at = loaded.emplace(fileName, SharedLibrary(handle)).first;
    }
    return &at->second;
}

void* SharedLibrary::Address(const char* name) const {
    return dlsym(handle_, name);
}

}  // namespace platform
