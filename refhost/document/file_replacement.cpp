#include "refhost/document/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

namespace refhost {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(std::string const& what) {
    throw std::runtime_error(what + " (" + std::strerror(errno) + ")");
}

// The file that writing to path changes: path itself, or where its links lead.
fs::path WrittenFile(fs::path const& path) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) {
        return path;
    }
    fs::path const target = fs::weakly_canonical(path, error);
    if (error) {
        throw std::runtime_error("the link cannot be followed (" + error.message() + ")");
    }
    return target;
}

mode_t PermissionsForNewFiles() {
    mode_t const mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Removes the temporary file unless it was renamed into place.
class Temporary {
public:
    explicit Temporary(fs::path const& beside) : fName((beside.parent_path() / ".").string()) {
        fName += beside.filename().string() + ".XXXXXX";
        fDescriptor = mkstemp(fName.data());
        if (fDescriptor < 0) {
            Fail("no temporary file can be made beside it");
        }
    }
    Temporary(Temporary const&) = delete;
    Temporary& operator=(Temporary const&) = delete;
    ~Temporary() {
        if (fDescriptor >= 0) {
            close(fDescriptor);
        }
        if (!fRenamed) {
            unlink(fName.c_str());
        }
    }

    void Write(std::string const& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t const n = write(fDescriptor, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                Fail("cannot be written");
            }
            done += static_cast<std::size_t>(n);
        }
    }
    // Gives it the permissions (and, where allowed, the owner) of the file it replaces.
    void TakeOver(std::optional<struct stat> const& replaced) {
        mode_t const mode = replaced ? replaced->st_mode & 07777 : PermissionsForNewFiles();
        if (replaced && fchown(fDescriptor, replaced->st_uid, replaced->st_gid) != 0) {
            // Keeping another user's ownership needs privileges the process may not have;
            // the save goes on with the permissions alone.
        }
        if (fchmod(fDescriptor, mode) != 0) {
            Fail("its permissions cannot be kept");
        }
    }
    void FlushAndRename(fs::path const& to) {
        if (fsync(fDescriptor) != 0) {
            Fail("cannot be flushed to the disk");
        }
        int const descriptor = std::exchange(fDescriptor, -1);
        if (close(descriptor) != 0) {
            Fail("cannot be written");
        }
        if (rename(fName.c_str(), to.c_str()) != 0) {
            Fail("cannot be replaced");
        }
        fRenamed = true;
    }

private:
    std::string fName;
    int fDescriptor = -1;
    bool fRenamed = false;
};

// The rename is on the disk only when the folder is.
void FlushFolder(fs::path const& folder) {
    int const descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

} // namespace

void ReplaceFileContents(std::string const& path, std::string const& text) {
    fs::path const file = WrittenFile(path);
    std::optional<struct stat> replaced;
    struct stat status {};
    if (stat(file.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            errno = EISDIR;
            Fail("is not a plain file");
        }
        replaced = status;
    }
    Temporary temporary(file);
    temporary.Write(text);
    temporary.TakeOver(replaced);
    temporary.FlushAndRename(file);
    FlushFolder(file.parent_path());
}

} // namespace refhost
