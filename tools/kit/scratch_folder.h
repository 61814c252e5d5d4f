#pragma once

#include <string>
#include <string_view>

namespace quillmark::kit {

// A fresh folder, `prefix` and six random characters, under `parent` (the
// system's temporary folder by default), removed with everything in it when
// the object goes, read-only folders inside included.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view prefix = "quillmark", std::string parent = {});
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

// Removes a folder and everything in it, making read-only folders writable first.
void removeFolder(const std::string& folder);

} // namespace quillmark::kit
