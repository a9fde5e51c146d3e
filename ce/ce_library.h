// Outside libraries opened when first needed rather than linked at start.
#pragma once

#include <dlfcn.h>

#include <initializer_list>

namespace ce {

// Opens the first of `names` that loads and binds its functions by name; a
// library that loads is never closed. `complete` is false when none loaded
// or a function was missing, and the caller then does without the library.
class LibraryBinder {
public:
    explicit LibraryBinder(std::initializer_list<const char*> names) {
        for (const char* name : names)
            if ((library_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL)) != nullptr) break;
        complete_ = library_ != nullptr;
    }

    bool loaded() const { return library_ != nullptr; }
    bool complete() const { return complete_; }

    template <class Function>
    void operator()(Function& function, const char* symbol) {
        function = library_ != nullptr ? reinterpret_cast<Function>(::dlsym(library_, symbol)) : nullptr;
        complete_ = complete_ && function != nullptr;
    }

private:
    void* library_ = nullptr;
    bool complete_ = false;
};

}  // namespace ce
