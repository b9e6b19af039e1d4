#include "model/atomic_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kiro {
namespace {

constexpr int kNameAttempts = 100;
constexpr size_t kTempStemBytes = 200; // keeps the temporary name within the 255-byte limit
constexpr mode_t kNewFileMode = 0666;  // lowered by the umask, as for any new file
constexpr const char* kTempSuffix = ".tmp";
constexpr size_t kMaxPidDigits = 10;

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

struct TempNaming {
    std::string folder; // with its final '/', or empty for the working folder
    std::string prefix; // ".NAME."
};

TempNaming tempNaming(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name =
        (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, kTempStemBytes);
    return {folder, "." + name + "."};
}

// The process id in "PID-N", or 0 when the text is not of that form.
pid_t writerOf(std::string_view middle) {
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > kMaxPidDigits ||
        dash + 1 == middle.size()) {
        return 0;
    }
    long long pid = 0;
    for (size_t i = 0; i < middle.size(); ++i) {
        const char c = middle[i];
        if (i == dash) {
            continue;
        }
        if (c < '0' || c > '9') {
            return 0;
        }
        if (i < dash) {
            pid = pid * 10 + (c - '0');
        }
    }
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

// A save killed midway leaves its temporary file behind. The next save of the same
// target removes those of its own naming whose writing process is gone; a file of a
// process that still runs (another save in progress) or whose state cannot be known is
// left alone.
void removeLeftovers(const TempNaming& naming) {
    DIR* dir = ::opendir(naming.folder.empty() ? "." : naming.folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string_view prefix = naming.prefix;
    const std::string_view suffix = kTempSuffix;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(suffix)) {
            continue;
        }
        const pid_t pid =
            writerOf(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
        if (pid == 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) {
            continue;
        }
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// A new, exclusively created file beside the target: ".NAME.PID-N.tmp".
int createTemporary(const TempNaming& naming, std::string& tempPath) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        tempPath = naming.folder + naming.prefix + std::to_string(::getpid()) + "-" +
                   std::to_string(attempt) + kTempSuffix;
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
        errno = ENOENT;
        return false;
    }
    // A link is followed so the file it names is replaced and the link kept; a device, a
    // pipe or a folder is never replaced by a plain file.
    std::string target(path);
    struct stat existing {};
    const bool exists = ::stat(path, &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) {
            errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        char* resolved = ::realpath(path, nullptr);
        if (resolved == nullptr) {
            return false;
        }
        target = resolved;
        std::free(resolved);
    } else if (target.back() == '/') {
        errno = EISDIR;
        return false;
    }
    const TempNaming naming = tempNaming(target);
    removeLeftovers(naming);
    std::string tempPath;
    const int fd = createTemporary(naming, tempPath);
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
        const int error = errno;
        std::remove(tempPath.c_str());
        errno = error;
        return false;
    }
    syncFolderOf(target);
    return true;
}

} // namespace kiro
