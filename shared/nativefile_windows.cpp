// The file system on Windows: wide-character paths (the \\?\ form for long ones),
// handles shared for reading, writing and deleting, FlushFileBuffers, a lock file
// deleted on close, and a new file renamed over the old one through its handle.
#include "nativefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <windows.h>

#include <aclapi.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace qo::NativeFile {

namespace {

HANDLE toHandle(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}

qintptr fromHandle(HANDLE handle) {
    return reinterpret_cast<qintptr>(handle);
}

// A path as the wide-character functions take it: backslashes, and for a long path
// the \\?\ form, which lifts the limit of MAX_PATH characters.
std::wstring widePath(const QString& path) {
    QString native = QDir::toNativeSeparators(path);
    const QLatin1StringView device("\\\\.\\");
    const QLatin1StringView literal("\\\\?\\");
    if (native.size() >= MAX_PATH - 12 && !native.startsWith(device) &&
        !native.startsWith(literal)) {
        native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
        if (native.startsWith(QLatin1StringView("\\\\")))
            native = QLatin1StringView("\\\\?\\UNC\\") + native.mid(2);
        else
            native = literal + native;
    }
    return native.toStdWString();
}

QString fromWide(const wchar_t* text) {
    QString path = QDir::fromNativeSeparators(QString::fromWCharArray(text));
    if (path.startsWith(QLatin1StringView("//?/UNC/")))
        path = QLatin1StringView("//") + path.mid(8);
    else if (path.startsWith(QLatin1StringView("//?/")))
        path = path.mid(4);
    return path;
}

// What a name is when the system takes it for something other than a file on a
// disk without looking at the disk: the device namespace (\\.\COM1, \\.\pipe\x)
// and the reserved device names, in any folder and with any extension (NUL,
// con.txt, COM1). Regular for everything else.
Kind specialKind(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(QLatin1StringView("\\\\.\\")) ||
        native.startsWith(QLatin1StringView("\\\\?\\GLOBALROOT"), Qt::CaseInsensitive)) {
        return native.mid(4).startsWith(QLatin1StringView("pipe\\"), Qt::CaseInsensitive)
                   ? Kind::Pipe
                   : Kind::Device;
    }
    QString name = native.mid(std::max(native.lastIndexOf(u'\\'), native.lastIndexOf(u':')) + 1);
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    while (name.endsWith(u' '))
        name.chop(1);
    name = name.toUpper();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
        if (name == QLatin1StringView(device))
            return Kind::Device;
    }
    if (name.size() == 4 &&
        (name.startsWith(QLatin1StringView("COM")) || name.startsWith(QLatin1StringView("LPT")))) {
        const char16_t digit = name.at(3).unicode();
        if ((digit >= u'1' && digit <= u'9') || digit == u'\u00b9' || digit == u'\u00b2' ||
            digit == u'\u00b3')
            return Kind::Device;
    }
    return Kind::Regular;
}

QString knownFolder(REFKNOWNFOLDERID id) {
    PWSTR folder = nullptr;
    QString path;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder)))
        path = QDir::cleanPath(fromWide(folder));
    ::CoTaskMemFree(folder);
    return path;
}

// A folder's full name with short (8.3) names spelled out, as the known folders
// name it.
QString longName(const QString& folder) {
    const std::wstring wide = widePath(QFileInfo(folder).absoluteFilePath());
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetLongPathNameW(wide.c_str(), full.data(), DWORD(full.size()));
        if (n == 0)
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
        if (n < full.size()) {
            full.resize(n);
            return QDir::cleanPath(fromWide(full.c_str()));
        }
        full.resize(n);
    }
}

// Whether the folder lies in one of the system's Program Files folders, which are
// the system's, not the user's, whatever rights the user has there.
bool isUnderProgramFiles(const QString& folder) {
    const QString name = longName(folder);
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
        const QString programFiles = knownFolder(*id);
        if (programFiles.isEmpty())
            continue;
        if (name.compare(programFiles, Qt::CaseInsensitive) == 0 ||
            name.startsWith(programFiles + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// ERROR_DISK_QUOTA_EXCEEDED, which older SDK headers lack.
constexpr DWORD DiskQuotaExceeded = 1295;

bool isBusy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

QString sixLetters() {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString text;
    for (int i = 0; i < 6; ++i)
        text += QLatin1Char(letters[QRandomGenerator::global()->bounded(52)]);
    return text;
}

// A path as the kernel names it, for renaming through a handle: \??\C:\...
std::wstring kernelPath(const QString& path) {
    QString native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.startsWith(QLatin1StringView("\\\\?\\")))
        native = native.mid(4);
    else if (native.startsWith(QLatin1StringView("\\\\")))
        native = QLatin1StringView("UNC\\") + native.mid(2);
    return (QLatin1StringView("\\??\\") + native).toStdWString();
}

// FileRenameInfoEx, which headers for systems before Windows 10 1607 lack.
constexpr auto RenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

// Renames the open file over target at once. With POSIX semantics (Windows 10
// 1607 and later) this works also while others have target open, sharing deletion
// (the quiz reading a question); elsewhere the plain rename replaces a file no one
// has open. 0 or the error.
DWORD renameOver(HANDLE file, const QString& target) {
    const std::wstring name = kernelPath(target);
    const DWORD nameBytes = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->RootDirectory = nullptr;
    info->FileNameLength = nameBytes;
    std::memcpy(info->FileName, name.data(), nameBytes);
    // Flags shares the first member with ReplaceIfExists, which older headers
    // declare alone.
    const DWORD flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    std::memcpy(buffer.data(), &flags, sizeof flags);
    if (::SetFileInformationByHandle(file, RenameInfoEx, info, DWORD(buffer.size())))
        return 0;
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED &&
        error != ERROR_INVALID_FUNCTION && error != ERROR_CALL_NOT_IMPLEMENTED)
        return error;
    std::memset(buffer.data(), 0, sizeof flags);
    info->ReplaceIfExists = TRUE;
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, DWORD(buffer.size()))
               ? 0
               : ::GetLastError();
}

// The old way for a system that can't rename over an open file: ReplaceFileW moves
// the old file aside and the copy into its place (with a moment between in which
// the set has no file), keeping the old file's attributes and security descriptor.
DWORD replaceWith(const std::wstring& copy, const std::wstring& target) {
    if (::ReplaceFileW(target.c_str(), copy.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr))
        return 0;
    const DWORD error = ::GetLastError();
    if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
        return error;
    // The old file is gone and the copy, whole and on the disk, still has its own
    // name: it takes the set's name now.
    return ::MoveFileExW(copy.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : ::GetLastError();
}

} // namespace

Cause causeOf(Error error) {
    switch (static_cast<DWORD>(error)) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_INVALID_OWNER:
        return Cause::NoPermission;
    case ERROR_WRITE_PROTECT:
        return Cause::ReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Cause::DiskFull;
    case DiskQuotaExceeded:
        return Cause::QuotaFull;
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
        return Cause::DeviceError;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return Cause::Missing;
    case ERROR_DIRECTORY:
        return Cause::NotAFolder;
    case ERROR_FILENAME_EXCED_RANGE:
        return Cause::NameTooLong;
    case ERROR_CANT_RESOLVE_FILENAME:
        return Cause::TooManyLinks;
    case ERROR_TOO_MANY_OPEN_FILES:
        return Cause::TooManyOpen;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_BUSY:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_DRIVE_LOCKED:
        return Cause::Busy;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Cause::Exists;
    default:
        return Cause::Other;
    }
}

Error lastError() {
    return static_cast<Error>(::GetLastError());
}

QByteArray encodeName(const QString& path) {
    return path.toUtf8();
}

QString decodeName(const QByteArray& nativePath) {
    return QString::fromUtf8(nativePath);
}

Kind kindOf(const QString& path) {
    if (const Kind special = specialKind(path); special != Kind::Regular)
        return special;
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Kind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::Regular;
}

Reader::~Reader() {
    close();
}

bool Reader::openNative(const QByteArray& nativePath) {
    return open(decodeName(nativePath));
}

bool Reader::open(const QString& path) {
    close();
    m_error = 0;
    m_kind = specialKind(path);
    if (m_kind != Kind::Regular)
        return false;
    // Others may go on reading, writing, replacing and deleting the file: the quiz
    // reading a question never keeps the editor from saving. A folder opens only
    // with backup semantics, to be told apart from a missing file.
    const HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_error = lastError();
        return false;
    }
    const DWORD type = ::GetFileType(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (type != FILE_TYPE_DISK) {
        m_kind = type == FILE_TYPE_PIPE ? Kind::Pipe : Kind::Device;
    } else if (!::GetFileInformationByHandle(file, &info)) {
        m_error = lastError();
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        m_kind = Kind::Folder;
    } else {
        m_handle = fromHandle(file);
        m_size = (static_cast<qint64>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        return true;
    }
    ::CloseHandle(file);
    return false;
}

void Reader::close() {
    if (m_handle != -1)
        ::CloseHandle(toHandle(m_handle));
    m_handle = -1;
    m_size = 0;
}

qint64 Reader::size() const {
    LARGE_INTEGER size{};
    if (m_handle == -1 || !::GetFileSizeEx(toHandle(m_handle), &size))
        return m_size;
    return size.QuadPart;
}

bool Reader::readAt(qint64 offset, char* data, qint64 size, qint64* got) {
    *got = 0;
    m_error = 0;
    while (*got < size) {
        const quint64 at = static_cast<quint64>(offset + *got);
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xffffffffu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD piece = static_cast<DWORD>(std::min<qint64>(size - *got, 1 << 30));
        DWORD n = 0;
        if (!::ReadFile(toHandle(m_handle), data + *got, piece, &n, &where)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            m_error = static_cast<Error>(error);
            return false;
        }
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

// Holes are not looked for here: every byte up to the end counts as data.
void Reader::nextData(qint64 pos, qint64 fileSize, qint64* begin, qint64* end) const {
    constexpr qint64 Never = std::numeric_limits<qint64>::max();
    if (m_handle == -1 || pos >= fileSize) {
        *begin = *end = Never;
        return;
    }
    *begin = pos;
    *end = fileSize;
}

Error createNew(const QString& path) {
    if (specialKind(path) != Kind::Regular)
        return ERROR_ACCESS_DENIED;
    const HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    ::CloseHandle(file);
    return 0;
}

Error writeAccess(const QString& path) {
    if (specialKind(path) != Kind::Regular)
        return ERROR_ACCESS_DENIED;
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        // The rights on a folder say little on Windows; only a try tells.
        if (isUnderProgramFiles(path))
            return ERROR_ACCESS_DENIED;
        const QString probe = QDir(path).filePath(QStringLiteral(".qo-kviz-probe-") + sixLetters());
        const HANDLE file =
            ::CreateFileW(widePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return lastError();
        ::CloseHandle(file);
        return 0;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return ERROR_ACCESS_DENIED;
    const HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    ::CloseHandle(file);
    return 0;
}

Error removeFile(const QString& path) {
    return ::DeleteFileW(widePath(path).c_str()) ? 0 : lastError();
}

// The lock is the lock file open without sharing, which the system deletes when the
// handle closes, also when the process is killed.
SaveLock::~SaveLock() {
    unlock();
}

Error SaveLock::tryLock(const QString& path) {
    unlock();
    const std::wstring name = widePath(path);
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A lock file its holder let go of a moment ago is still there, waiting to be
        // deleted, and refuses to be opened: the lock is not free yet.
        if (error == ERROR_ACCESS_DENIED &&
            ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ERROR_SHARING_VIOLATION;
        return static_cast<Error>(error);
    }
    m_handle = fromHandle(file);
    m_path = path;
    return 0;
}

void SaveLock::unlock() {
    if (m_handle == -1)
        return;
    ::CloseHandle(toHandle(m_handle));
    m_handle = -1;
}

NewFile::~NewFile() {
    close();
}

Error NewFile::create(const QString& path, bool privately) {
    // Made with the folder's permissions either way; takeOver gives it the old file's.
    Q_UNUSED(privately);
    close();
    if (specialKind(path) != Kind::Regular)
        return ERROR_ACCESS_DENIED;
    // Not shared for writing or deleting, and renamed over the old file through this
    // handle: DELETE for the rename, the control rights for the permissions.
    const HANDLE file = ::CreateFileW(
        widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC,
        FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    m_handle = fromHandle(file);
    m_path = path;
    m_size = 0;
    return 0;
}

Error NewFile::writeAt(qint64 offset, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const quint64 at = static_cast<quint64>(offset + done);
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xffffffffu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD piece = static_cast<DWORD>(std::min<qint64>(size - done, 1 << 30));
        DWORD n = 0;
        if (!::WriteFile(toHandle(m_handle), data + done, piece, &n, &where))
            return lastError();
        done += n;
    }
    m_size = std::max(m_size, offset + size);
    return 0;
}

Error NewFile::resize(qint64 size) {
    LARGE_INTEGER to{};
    to.QuadPart = size;
    if (!::SetFilePointerEx(toHandle(m_handle), to, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(toHandle(m_handle)))
        return lastError();
    m_size = size;
    return 0;
}

Error NewFile::sync() {
    return ::FlushFileBuffers(toHandle(m_handle)) ? 0 : lastError();
}

// The old file's attributes (a hidden set stays hidden; the read-only attribute
// keeps a save out before it gets here) and its own permissions, the DACL set on the
// file itself; what it inherits from the folder the new file inherits anyway.
Error NewFile::takeOver(const QString& target) {
    const HANDLE file = toHandle(m_handle);
    const std::wstring name = widePath(target);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const Error error = lastError();
        return causeOf(error) == Cause::Missing ? 0 : error;
    }
    constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if ((attributes & Kept) != 0) {
        FILE_BASIC_INFO basic{}; // times of zero stay as they are
        basic.FileAttributes = attributes & Kept;
        if (!::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic))
            return lastError();
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring writable = name;
    const DWORD got =
        ::GetNamedSecurityInfoW(writable.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor);
    // A file system without permissions (FAT) has none to keep.
    if (got == ERROR_NOT_SUPPORTED || got == ERROR_INVALID_FUNCTION)
        return 0;
    if (got != ERROR_SUCCESS)
        return static_cast<Error>(got);
    DWORD result = 0;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    // An old file without a DACL (open to everyone) leaves the new one with the
    // permissions the folder gives it.
    if (dacl && ::GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        // The system drops the inherited entries of an unprotected DACL and puts in
        // those of the new file's folder, the same folder.
        const SECURITY_INFORMATION which =
            DACL_SECURITY_INFORMATION |
            ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                : UNPROTECTED_DACL_SECURITY_INFORMATION);
        result = ::SetSecurityInfo(file, SE_FILE_OBJECT, which, nullptr, nullptr, dacl, nullptr);
    } else if (dacl) {
        result = ::GetLastError();
    }
    ::LocalFree(descriptor);
    return static_cast<Error>(result);
}

Error NewFile::replace(const QString& target, bool lastTry) {
    const std::wstring name = widePath(target);
    const bool exists = ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // Whether the old file may be replaced is asked first, so that a failed
        // attempt leaves nothing half-done: a program holding it without sharing
        // deletion (a virus scanner, an editor) keeps it, and that is reported as busy.
        const HANDLE probe = ::CreateFileW(
            name.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        // Any other refusal shows again in the rename, which reports it.
        if (probe == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (isBusy(error))
                return static_cast<Error>(error);
        } else {
            ::CloseHandle(probe);
        }
    }
    DWORD error = renameOver(toHandle(m_handle), target);
    if (error == ERROR_ACCESS_DENIED && exists) {
        // Without POSIX semantics (older Windows, Wine) a file someone has open can't
        // be renamed over, even when they share deletion. The quiz holds a set only for
        // the moment of a read, so until the last try that counts as busy; the last
        // moves the old file aside and the new one in.
        if (!lastTry)
            return ERROR_SHARING_VIOLATION;
        close();
        error = replaceWith(widePath(m_path), name);
    }
    return static_cast<Error>(error);
}

// Its data went to the disk with sync() before it replaced anything, or it is being
// dropped: what closing says then tells nothing more, so it is safe to go on.
void NewFile::close() {
    if (m_handle != -1)
        ::CloseHandle(toHandle(m_handle));
    m_handle = -1;
}

QByteArray programsFolder() {
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, file.data(), DWORD(file.size()));
        if (n == 0)
            return {};
        if (n < file.size()) {
            file.resize(n);
            break;
        }
        file.resize(file.size() * 2);
    }
    const QString path = fromWide(file.c_str());
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    // A drive's root keeps its slash: "C:/".
    return encodeName(slash == 2 && path.at(1) == u':' ? path.left(3) : path.left(slash));
}

bool isWritableFolder(const QString& folder) {
    return writeAccess(folder) == 0;
}

} // namespace qo::NativeFile
