#pragma once
// A folder that only this user may enter, for the running copy's socket. It is opened
// once and checked on the open descriptor, and entries are reached through that
// descriptor, so the folder cannot be swapped for another one after the check.
#include <string>

namespace quilvern {

class PrivateFolder {
  public:
    // $XDG_RUNTIME_DIR when it is this user's own folder with mode 0700 (not a link);
    // otherwise "<settings file>.run", made with mode 0700 when missing and checked
    // alike. Throws Error naming the fallback folder when it will not do either.
    static PrivateFolder ForSettingsFile(const std::string& settingsFile);

    ~PrivateFolder();
    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&&) = delete;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& Path() const { return path_; }
    // A path to `name` inside the folder through /proc/self/fd, valid while this object
    // lives and short enough for a socket address wherever the folder is.
    std::string Entry(const std::string& name) const;

  private:
    PrivateFolder(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

    std::string path_;
    int fd_ = -1;
};

}  // namespace quilvern
