#pragma once
// A scratch folder for one benchmark, removed with everything in it at the end.
#include <filesystem>
#include <string>

namespace quilvern::bench {

class Folder {
  public:
    explicit Folder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::create_directories(path_);
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string WithSeparator() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace quilvern::bench
