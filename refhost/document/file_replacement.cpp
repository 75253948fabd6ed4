#include "refhost/document/file_replacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
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

// The file that writing to path changes: path itself, or where its links lead, followed one
// by one so that a link whose file is not there yet leads to where it will be made.
fs::path WrittenFile(fs::path const& path) {
    fs::path file = path;
    for (int links = 0;; ++links) {
        std::error_code error;
        fs::file_status const status = fs::symlink_status(file, error);
        if (error || !fs::is_symlink(status)) {
            return file;
        }
        if (links == 40) {
            errno = ELOOP;
            Fail("the link cannot be followed");
        }
        fs::path const target = fs::read_symlink(file, error);
        if (error) {
            throw std::runtime_error("the link cannot be followed (" + error.message() + ")");
        }
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
}

// What a file that is not a plain file is, as a user would call it.
char const* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a plain file";
}

mode_t PermissionsForNewFiles() {
    mode_t const mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// A temporary's name beside the file: ".NAME.XXXXXX".
std::string TemporaryPrefix(fs::path const& beside) {
    return "." + beside.filename().string() + ".";
}

bool IsTemporaryOf(std::string const& name, std::string const& prefix) {
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The new text, written to a file of its own beside the one it replaces and locked while it
// is written, so that another save can tell a temporary in use from one a killed save left.
// Where the file system allows, the file has no name until it is complete (O_TMPFILE): a
// save killed before then leaves nothing. Removed unless it was renamed into place.
class Temporary {
public:
    explicit Temporary(fs::path const& beside) : fBeside(beside) {
        fs::path const folder = beside.parent_path().empty() ? "." : beside.parent_path();
#ifdef O_TMPFILE
        fDescriptor = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#endif
        if (fDescriptor < 0) {
            fName = (beside.parent_path() / TemporaryPrefix(beside)).string() + "XXXXXX";
            fDescriptor = mkostemp(fName.data(), O_CLOEXEC);
            if (fDescriptor < 0) {
                Fail("no temporary file can be made beside it");
            }
        }
        flock(fDescriptor, LOCK_EX | LOCK_NB);
    }
    Temporary(Temporary const&) = delete;
    Temporary& operator=(Temporary const&) = delete;
    ~Temporary() {
        if (fDescriptor >= 0) {
            close(fDescriptor);
        }
        if (!fRenamed && !fName.empty()) {
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
        if (fName.empty()) {
            Name();
        }
        if (rename(fName.c_str(), to.c_str()) != 0) {
            Fail("cannot be replaced");
        }
        fRenamed = true;
        int const descriptor = std::exchange(fDescriptor, -1);
        if (close(descriptor) != 0) {
            Fail("cannot be written");
        }
    }

private:
    // Links the unnamed file into the folder under a fresh temporary name, for the rename.
    void Name() {
        std::string const proc = "/proc/self/fd/" + std::to_string(fDescriptor);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = (fBeside.parent_path() / TemporaryPrefix(fBeside)).string();
            static char const kLetters[] =
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
            unsigned seed = static_cast<unsigned>(getpid()) * 7919u +
                            static_cast<unsigned>(attempt) * 104729u +
                            static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this));
            for (int i = 0; i < 6; ++i) {
                seed = seed * 1103515245u + 12345u;
                name += kLetters[(seed >> 16) % (sizeof kLetters - 1)];
            }
            if (linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                fName = std::move(name);
                return;
            }
            if (errno != EEXIST) {
                Fail("cannot be put in place");
            }
        }
        Fail("cannot be put in place");
    }

    fs::path fBeside;
    std::string fName;
    int fDescriptor = -1;
    bool fRenamed = false;
};

// Removes temporaries beside the file that earlier saves left when they were killed: those
// of its pattern that no running save holds locked.
void RemoveStaleTemporaries(fs::path const& file) {
    std::string const prefix = TemporaryPrefix(file);
    fs::path const folder = file.parent_path().empty() ? "." : file.parent_path();
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string const name = it->path().filename().string();
        if (!IsTemporaryOf(name, prefix) || !it->is_regular_file(error)) {
            continue;
        }
        int const descriptor = open(it->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (descriptor < 0) {
            continue;
        }
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            unlink(it->path().c_str());
        }
        close(descriptor);
    }
}

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
    if (path.empty()) {
        errno = ENOENT;
        Fail("an empty name is no file");
    }
    fs::path const file = WrittenFile(path);
    std::optional<struct stat> replaced;
    struct stat status {};
    if (stat(file.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            throw std::runtime_error(std::string("is ") + KindOf(status.st_mode) +
                                     ", not a plain file");
        }
        // No write permission for anyone is read-only even to a process that could
        // override it: the user marked the file so.
        if ((status.st_mode & 0222) == 0) {
            errno = EACCES;
            Fail("is read-only");
        }
        if (access(file.c_str(), W_OK) != 0) {
            Fail(errno == EACCES || errno == EROFS ? "is read-only" : "cannot be written");
        }
        replaced = status;
    } else if (errno != ENOENT) {
        Fail("cannot be reached");
    }
    RemoveStaleTemporaries(file);
    Temporary temporary(file);
    temporary.Write(text);
    temporary.TakeOver(replaced);
    temporary.FlushAndRename(file);
    FlushFolder(file.parent_path());
}

} // namespace refhost
