// Files and folders of SysUtils.h on POSIX. Replacing a file always goes
// through a temporary file beside the target, fsync and rename, so a crash
// or a full disk leaves either the old or the new file, never a torn one.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

#include "SysUtils.h"

std::string ExtractFilePath(const std::string& fileName) {
    size_t at = fileName.find_last_of('/');
    return at == std::string::npos ? "" : fileName.substr(0, at + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    size_t at = fileName.find_last_of('/');
    if (at == std::string::npos) return "";
    if (at == 0) return "/";
    return fileName.substr(0, at);
}

std::string ExtractFileName(const std::string& fileName) {
    size_t at = fileName.find_last_of('/');
    return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
    size_t at = fileName.find_last_of("./");
    if (at == std::string::npos || fileName[at] != '.') return "";
    return fileName.substr(at);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    size_t at = fileName.find_last_of("./");
    if (at == std::string::npos || fileName[at] != '.') return fileName + ext;
    return fileName.substr(0, at) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
    return path;
}

std::string ExpandFileName(const std::string& fileName) {
    std::string full =
        (!fileName.empty() && fileName[0] == '/') ? fileName : IncludeTrailingPathDelimiter(GetCurrentDir()) + fileName;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find('/', i);
        if (j == std::string::npos) j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string r;
    for (auto& p : parts) r += "/" + p;
    if (r.empty()) r = "/";
    if (full.size() > 1 && full.back() == '/') r += "/";
    return r;
}

bool FileExists(const std::string& fileName) {
    struct stat st;
    return !fileName.empty() && stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& dir) {
    struct stat st;
    return !dir.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& dir) { return mkdir(dir.c_str(), 0777) == 0; }
bool RemoveDir(const std::string& dir) { return rmdir(dir.c_str()) == 0; }

bool ForceDirectories(const std::string& dir) {
    std::string d = ExcludeTrailingPathDelimiter(dir);
    if (d.empty()) return false;
    if (DirectoryExists(d)) return true;
    std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
    return CreateDir(d) || DirectoryExists(d);
}

bool DeleteFile(const std::string& fileName) { return unlink(fileName.c_str()) == 0; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
    // Like the class library: never replaces an existing file.
    if (FileExists(newName) || DirectoryExists(newName)) return false;
    return rename(oldName.c_str(), newName.c_str()) == 0;
}

std::string TempFileBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

namespace {

// The process id in a name TempFileBeside made (with or without
// "-journal"), or 0 when the name is not one of those.
pid_t tempFileOwner(const std::string& name) {
    std::string n = name;
    const std::string journal = "-journal";
    if (n.size() > journal.size() && n.compare(n.size() - journal.size(), journal.size(), journal) == 0)
        n.resize(n.size() - journal.size());
    size_t at = n.rfind(".tmp");
    if (at == std::string::npos || at == 0) return 0;
    size_t under = n.find('_', at + 4);
    if (under == std::string::npos || under == at + 4 || under + 1 == n.size()) return 0;
    auto digits = [&](size_t from, size_t to) {
        return std::all_of(n.begin() + long(from), n.begin() + long(to), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(at + 4, under) || !digits(under + 1, n.size()) || under - (at + 4) > 9) return 0;
    return pid_t(std::atol(n.substr(at + 4, under - at - 4).c_str()));
}

bool processRuns(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

} // namespace

int RemoveLeftoverTempFiles(const std::string& dir) {
    int removed = 0;
    for (const std::string& name : ListFiles(dir)) {
        pid_t owner = tempFileOwner(name);
        if (owner <= 0 || processRuns(owner)) continue;
        if (DeleteFile(IncludeTrailingPathDelimiter(dir) + name)) ++removed;
    }
    return removed;
}

namespace {

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

// Copies src into a fresh temporary beside dst, synced; returns its name or
// "" on failure (nothing left behind).
std::string copyToTemp(const std::string& src, const std::string& dst, mode_t& mode) {
    int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return "";
    struct stat st;
    fstat(in, &st);
    mode = st.st_mode & 07777;
    std::string tmp = TempFileBeside(dst);
    int out = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        close(in);
        return "";
    }
    char buf[1 << 16];
    bool ok = true;
    while (true) {
        ssize_t r = read(in, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            ok = false;
            break;
        }
        if (r == 0) break;
        if (!writeAll(out, buf, size_t(r))) {
            ok = false;
            break;
        }
    }
    close(in);
    if (ok) ok = fchmod(out, mode) == 0 && fsync(out) == 0;
    if (close(out) != 0) ok = false;
    if (!ok) {
        unlink(tmp.c_str());
        return "";
    }
    return tmp;
}

void syncDir(const std::string& file) {
    std::string dir = ExtractFileDir(ExpandFileName(file));
    int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

bool CopyFile(const std::string& src, const std::string& dst, bool failIfExists) {
    if (failIfExists && FileExists(dst)) return false;
    mode_t mode;
    std::string tmp = copyToTemp(src, dst, mode);
    if (tmp.empty()) return false;
    if (failIfExists) {
        // link() refuses an existing name, so a racing writer is not lost.
        bool ok = link(tmp.c_str(), dst.c_str()) == 0;
        unlink(tmp.c_str());
        if (ok) syncDir(dst);
        return ok;
    }
    if (rename(tmp.c_str(), dst.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    syncDir(dst);
    return true;
}

void AtomicReplaceFile(const std::string& src, const std::string& dst) {
    mode_t mode;
    std::string tmp = copyToTemp(src, dst, mode);
    if (tmp.empty()) throw EInOutError("Cannot replace file \"" + dst + "\" with \"" + src + "\"");
    if (rename(tmp.c_str(), dst.c_str()) != 0) {
        unlink(tmp.c_str());
        throw EInOutError("Cannot replace file \"" + dst + "\" with \"" + src + "\"");
    }
    syncDir(dst);
}

void AtomicWriteFile(const std::string& fileName, std::string_view bytes) {
    std::string tmp = TempFileBeside(fileName);
    mode_t mode = 0644;
    struct stat st;
    if (stat(fileName.c_str(), &st) == 0) mode = st.st_mode & 07777;
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    bool ok = writeAll(fd, bytes.data(), bytes.size()) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (!ok || rename(tmp.c_str(), fileName.c_str()) != 0) {
        unlink(tmp.c_str());
        throw EFCreateError("Cannot create file \"" + fileName + "\"");
    }
    syncDir(fileName);
}

std::string ReadFileBytes(const std::string& fileName) {
    int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (fd >= 0) close(fd);
        throw EFOpenError("Cannot open file \"" + fileName + "\"");
    }
    std::string out;
    out.reserve(size_t(st.st_size));
    char buf[1 << 16];
    while (true) {
        ssize_t r = read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            close(fd);
            throw EReadError("Stream read error");
        }
        if (r == 0) break;
        out.append(buf, size_t(r));
    }
    close(fd);
    return out;
}

TDateTime FileAge(const std::string& fileName) {
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0) return TDateTime(-1);
    struct tm lt;
    time_t t = st.st_mtime;
    localtime_r(&t, &lt);
    return TDateTime(EncodeDate(Word(lt.tm_year + 1900), Word(lt.tm_mon + 1), Word(lt.tm_mday)).Val +
                     EncodeTime(Word(lt.tm_hour), Word(lt.tm_min), Word(std::min(lt.tm_sec, 59)), 0).Val);
}

int64_t FileSize(const std::string& fileName) {
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0) return -1;
    return int64_t(st.st_size);
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& mask, bool withDirs) {
    std::vector<std::string> out;
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return out;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        std::string full = IncludeTrailingPathDelimiter(dir.empty() ? "." : dir) + name;
        if (DirectoryExists(full) ? withDirs : FileExists(full)) out.push_back(name);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

std::string GetCurrentDir() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool SetCurrentDir(const std::string& dir) { return chdir(dir.c_str()) == 0; }

namespace {
std::mutex exeDirMutex;
std::string exeDirOverride;
} // namespace

std::string ExeDir() {
    {
        std::lock_guard<std::mutex> lock(exeDirMutex);
        if (!exeDirOverride.empty()) return exeDirOverride;
    }
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return IncludeTrailingPathDelimiter(GetCurrentDir());
    buf[n] = 0;
    return ExtractFilePath(std::string(buf));
}

void SetExeDirForTesting(const std::string& dir) {
    std::lock_guard<std::mutex> lock(exeDirMutex);
    exeDirOverride = dir.empty() ? "" : IncludeTrailingPathDelimiter(dir);
}

std::string GetTempFileName(const std::string& dir) {
    std::string base = dir.empty() ? (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") : dir;
    std::string templ = IncludeTrailingPathDelimiter(base) + "rtXXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    int fd = mkstemp(buf.data());
    if (fd < 0) throw EInOutError("Cannot create a temporary file in \"" + base + "\"");
    close(fd);
    return std::string(buf.data());
}

void Sleep(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
