#include "storage/data_directory.h"

#include <sys/stat.h>

#include <cstdlib>

namespace quilvern {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The base folder of user data by the XDG rules: a relative XDG_DATA_HOME is ignored.
std::string DataHome() {
    const std::string data = Variable("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/')
        return data;
    return Variable("HOME") + "/.local/share";
}

// Makes each missing folder of the path, private to the user; existing ones keep their
// mode. Failures are left for the first write to report.
void MakePrivateFolders(const std::string& path) {
    for (std::size_t end = path.find('/', 1); end != std::string::npos;
         end = path.find('/', end + 1)) {
        ::mkdir(path.substr(0, end).c_str(), 0700);
    }
}

}  // namespace

std::string DataDirectory(CopyKind kind, const std::string& programDirectory) {
    if (kind == CopyKind::SelfContained)
        return programDirectory;
    std::string folder = DataHome();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    folder += "/quilvern/";
    MakePrivateFolders(folder);
    return folder;
}

}  // namespace quilvern
