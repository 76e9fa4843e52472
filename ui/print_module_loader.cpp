#include "ui/print_module_loader.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "values/error.h"

namespace quilvern {

extern const char kPrintModule[];
extern const std::size_t kPrintModuleSize;

namespace {

PrintEntry loaded = nullptr;

[[noreturn]] void NotAvailable(const std::string& why) {
    throw Error(Format("Printing is not available: %s", why));
}

bool WriteAll(int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

PrintEntry LoadPrintModule() {
    if (loaded != nullptr)
        return loaded;
    const int fd = ::memfd_create("quilvern-print", MFD_CLOEXEC);
    if (fd < 0)
        NotAvailable(std::strerror(errno));
    const bool written = WriteAll(fd, kPrintModule, kPrintModuleSize);
    // The loader maps the file; its descriptor is not needed once it has.
    void* module =
        written ? ::dlopen(("/proc/self/fd/" + std::to_string(fd)).c_str(), RTLD_NOW | RTLD_LOCAL)
                : nullptr;
    ::close(fd);
    if (module == nullptr)
        NotAvailable(written ? ::dlerror() : std::strerror(errno));
    void* entry = ::dlsym(module, kPrintEntryName);
    if (entry == nullptr)
        NotAvailable(::dlerror());
    loaded = reinterpret_cast<PrintEntry>(entry);
    return loaded;
}

bool PrintModuleLoaded() {
    return loaded != nullptr;
}

}  // namespace quilvern
