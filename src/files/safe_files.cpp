#include "files/safe_files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hexlife::files {

namespace {

Kind KindOf(mode_t mode)
{
    if (S_ISREG(mode)) return Kind::Regular;
    if (S_ISDIR(mode)) return Kind::Directory;
    if (S_ISFIFO(mode)) return Kind::Fifo;
    if (S_ISSOCK(mode)) return Kind::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Kind::Device;
    return Kind::Other;
}

Failure FromErrno(int error, const std::string& path)
{
    Failure failure{error};
    // A socket cannot be opened at all (ENXIO); say what it is.
    struct stat info {};
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0) {
        failure.kind = KindOf(info.st_mode);
    }
    return failure;
}

// The folder a path lies in, for the temporary file beside it.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { if (fd_ >= 0) ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, to see the error a close may report.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(size_t(written));
    }
    return true;
}

}  // namespace

ReadResult ReadWhole(const std::string& path, std::int64_t maxBytes)
{
    ReadResult result;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        result.failure = FromErrno(errno, path);
        return result;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        result.failure = Failure{errno};
        return result;
    }
    result.failure.kind = KindOf(info.st_mode);
    if (result.failure.kind != Kind::Regular) {
        return result;
    }
    if (info.st_size > maxBytes) {
        result.failure.tooBig = true;
        return result;
    }
    // The file may grow while it is read: at most one byte past the limit
    // is read, to tell.
    char buffer[65536];
    while (std::int64_t(result.bytes.size()) <= maxBytes) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.failure = Failure{errno};
            result.bytes.clear();
            return result;
        }
        if (got == 0) break;
        result.bytes.append(buffer, size_t(got));
    }
    if (std::int64_t(result.bytes.size()) > maxBytes) {
        result.failure.tooBig = true;
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

SaveResult SaveWhole(const std::string& path, std::string_view bytes)
{
    SaveResult result;
    // A link is followed: the file it names is replaced, the link stays.
    std::string target = path;
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists) {
        if (!S_ISREG(info.st_mode)) {
            result.failure = Failure{S_ISDIR(info.st_mode) ? EISDIR : 0, KindOf(info.st_mode)};
            return result;
        }
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    } else if (errno != ENOENT) {
        result.failure = Failure{errno};
        return result;
    }
    // New files get the usual mode, old ones keep theirs.
    mode_t mode = info.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const std::string folder = FolderOf(target);
    const size_t slash = target.rfind('/');
    std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);
    if (base.size() > 200) base.resize(200);  // room for the suffix within NAME_MAX
    std::string temporary = folder + "/." + base + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0) {
        result.failure = Failure{errno};
        return result;
    }
    auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        result.failure = Failure{error};
        return result;
    };
    if (!WriteAll(file.get(), bytes) || ::fchmod(file.get(), mode) != 0 || ::fsync(file.get()) != 0) {
        return fail(errno);
    }
    if (file.close() != 0) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // The rename itself reaches the disk with its folder.
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    result.ok = true;
    return result;
}

std::string Reason(const Failure& failure)
{
    if (failure.tooBig) {
        return "Файл слишком велик.";
    }
    switch (failure.kind) {
    case Kind::Regular: break;
    case Kind::Directory: return "Это папка, а не файл.";
    case Kind::Fifo: return "Это именованный канал, а не файл: из него программа не читает.";
    case Kind::Socket: return "Это сокет, а не файл.";
    case Kind::Device: return "Это устройство, а не файл.";
    case Kind::Other: return "Это не обычный файл.";
    }
    switch (failure.error) {
    case ENOENT: return "Такого файла или папки нет.";
    case ENOTDIR: return "Часть пути — не папка.";
    case EACCES:
    case EPERM: return "Нет прав доступа.";
    case EROFS: return "Диск открыт только для чтения.";
    case ENOSPC: return "На диске нет места.";
    case EDQUOT: return "Исчерпана дисковая квота.";
    case EFBIG: return "Превышен допустимый размер файла.";
    case ELOOP: return "Ссылки на файл замкнуты в петлю.";
    case ENAMETOOLONG: return "Слишком длинное имя файла.";
    case EISDIR: return "Это папка, а не файл.";
    case ENXIO: return "Это устройство или сокет, а не файл.";
    case EMFILE:
    case ENFILE: return "Открыто слишком много файлов.";
    case EIO: return "Ошибка ввода-вывода на диске.";
    case EBUSY:
    case ETXTBSY: return "Файл занят.";
    case EXDEV: return "Файл нельзя заменить на другом диске.";
    case EINVAL: return "Недопустимое имя файла.";
    default: return "Системная ошибка номер " + std::to_string(failure.error) + ".";
    }
}

}  // namespace hexlife::files
