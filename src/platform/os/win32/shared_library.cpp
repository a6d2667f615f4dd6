#include "platform/os/shared_library.h"

#include <map>
#include <mutex>

#include "platform/os/win32/wide_text.h"

namespace platform {

const SharedLibrary* SharedLibrary::Load(const std::string& fileName, std::string& why) {
    static std::mutex mutex;
    // Never unloaded: code of a loaded library may still be in use elsewhere.
    static std::map<std::string, SharedLibrary> loaded;
    std::lock_guard lock(mutex);
    auto at = loaded.find(fileName);
    if (at == loaded.end()) {
        // Only from the program's own folder and the system's: never from the current folder,
        // where a file of that name could be anyone's.
        HMODULE module =
            LoadLibraryExW(WideFromUtf8(fileName).c_str(), nullptr,
                           LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr) {
            why = fileName + ": " + SystemMessage(GetLastError());
            return nullptr;
        }
        at = loaded.emplace(fileName, SharedLibrary(reinterpret_cast<void*>(module))).first;
    }
    return &at->second;
}

void* SharedLibrary::Address(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace platform
