#include "model/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kiro {
namespace {

constexpr int kNameAttempts = 100;
constexpr size_t kTempStemBytes = 200; // keeps the temporary name within the 255-byte limit
constexpr mode_t kNewFileMode = 0666;  // lowered by the umask, as for any new file

bool writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// A new, exclusively created file beside the target: ".NAME.PID-N.tmp".
int createTemporary(const std::string& target, std::string& tempPath) {
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name =
        (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, kTempStemBytes);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        tempPath = folder + "." + name + "." + std::to_string(::getpid()) + "-" +
                   std::to_string(attempt) + ".tmp";
        const int fd =
            ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void syncFolderOf(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool replaceFileAtomically(const char* path, std::string_view bytes) {
    if (path == nullptr || *path == '\0') {
        return false;
    }
    // A link is followed so the file it names is replaced and the link kept; a device, a
    // pipe or a folder is never replaced by a plain file.
    std::string target(path);
    struct stat existing {};
    const bool exists = ::stat(path, &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) {
            return false;
        }
        char* resolved = ::realpath(path, nullptr);
        if (resolved == nullptr) {
            return false;
        }
        target = resolved;
        std::free(resolved);
    } else if (target.back() == '/') {
        return false;
    }
    std::string tempPath;
    const int fd = createTemporary(target, tempPath);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, bytes);
    if (ok && exists) {
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok) {
        std::remove(tempPath.c_str());
        return false;
    }
    syncFolderOf(target);
    return true;
}

} // namespace kiro
