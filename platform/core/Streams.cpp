// TStream and its memory, string and file streams.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "Classes.h"
#include "SysUtils.h"

int64_t TStream::Size() {
    int64_t pos = Seek(0, soFromCurrent);
    int64_t end = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    int64_t done = 0;
    char buf[1 << 16];
    while (done < count) {
        int64_t n = std::min<int64_t>(count - done, int64_t(sizeof buf));
        source->ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        done += n;
    }
    return done;
}

std::string TStream::ReadRest() {
    std::string out;
    char buf[1 << 16];
    while (true) {
        int64_t n = Read(buf, int64_t(sizeof buf));
        if (n <= 0) break;
        out.append(buf, size_t(n));
    }
    return out;
}

// ------------------------------------------------------------ TMemoryStream

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    int64_t avail = int64_t(data_.size()) - pos_;
    int64_t n = std::max<int64_t>(0, std::min(count, avail));
    if (n > 0) std::memcpy(buffer, data_.data() + pos_, size_t(n));
    pos_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (pos_ + count > int64_t(data_.size())) data_.resize(size_t(pos_ + count));
    std::memcpy(data_.data() + pos_, buffer, size_t(count));
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
    switch (origin) {
    case soFromCurrent: pos_ += offset; break;
    case soFromEnd: pos_ = int64_t(data_.size()) + offset; break;
    default: pos_ = offset; break;
    }
    if (pos_ < 0) pos_ = 0;
    return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(size_t(std::max<int64_t>(size, 0)));
    if (pos_ > int64_t(data_.size())) pos_ = int64_t(data_.size());
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
    stream->SetPosition(0);
    data_ = stream->ReadRest();
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream* stream) {
    if (!data_.empty()) stream->WriteBuffer(data_.data(), int64_t(data_.size()));
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    data_ = ReadFileBytes(fileName);
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& fileName) { AtomicWriteFile(fileName, data_); }

std::string TStringStream::ReadString(int64_t count) {
    int64_t avail = int64_t(data_.size()) - pos_;
    int64_t n = std::max<int64_t>(0, std::min(count, avail));
    std::string r = data_.substr(size_t(pos_), size_t(n));
    pos_ += n;
    return r;
}

// -------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    if (mode == fmCreate) {
        fd_ = open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) throw EFCreateError("Cannot create file \"" + fileName + "\"");
        return;
    }
    int access = mode & 3;
    int flags = access == fmOpenWrite ? O_WRONLY : (access == fmOpenReadWrite ? O_RDWR : O_RDONLY);
    fd_ = open(fileName.c_str(), flags | O_CLOEXEC);
    struct stat st;
    if (fd_ >= 0 && (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) {
        close(fd_);
        fd_ = -1;
    }
    if (fd_ < 0) throw EFOpenError("Cannot open file \"" + fileName + "\"");
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    char* p = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t r = read(fd_, p + done, size_t(count - done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += r;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    const char* p = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t w = write(fd_, p + done, size_t(count - done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += w;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, int origin) {
    int whence = origin == soFromCurrent ? SEEK_CUR : (origin == soFromEnd ? SEEK_END : SEEK_SET);
    off_t r = lseek(fd_, off_t(offset), whence);
    return r < 0 ? -1 : int64_t(r);
}

void TFileStream::SetSize(int64_t size) {
    if (ftruncate(fd_, off_t(size)) != 0) throw EStreamError("Stream size cannot be changed");
    if (Position() > size) SetPosition(size);
}
