#pragma once
// A throw-away data folder for the game: the real data/ folders linked in, except those a test
// wants to change, which start empty. Removed with everything in it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>

class ScratchData {
  public:
    // Links every folder of the real data/ except the named ones, which are created empty.
    explicit ScratchData(std::initializer_list<const char*> ownFolders) {
        char pattern[] = "/tmp/hexaglint-data-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("cannot make a scratch data folder");
        }
        root_ = pattern;
        for (const char* folder : {"images", "fonts", "audio"}) {
            bool own = false;
            for (const char* o : ownFolders) {
                own = own || std::string(o) == folder;
            }
            if (own) {
                std::filesystem::create_directory(root_ / folder);
            } else {
                std::filesystem::create_directory_symlink(
                    std::filesystem::path(HEXAGLINT_DATA_DIR) / folder, root_ / folder);
            }
        }
    }
    ~ScratchData() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored); // links are removed, not followed
    }
    ScratchData(const ScratchData&) = delete;
    ScratchData& operator=(const ScratchData&) = delete;

    std::string path() const { return root_.string(); }
    std::string path(const std::string& inside) const { return (root_ / inside).string(); }

  private:
    std::filesystem::path root_;
};
