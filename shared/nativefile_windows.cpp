// The file system on Windows: wide-character paths (the \\?\ form for long ones),
// handles shared for reading, writing and deleting, FlushFileBuffers, and a save's
// copy renamed over the old file at once, with the old file's attributes and
// permissions.
#include "nativefile.h"

#include "fileerror.h"

#include <QDeadlineTimer>
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

// Gives the new copy what the old file had beyond its bytes: its attributes (a
// hidden set stays hidden) and its own permissions, the DACL set on the file itself;
// what it inherits from the folder the copy inherits anyway. Whatever the system
// refuses stays as the copy has it.
void takeOver(const QString& target, DWORD attributes, HANDLE copy) {
    constexpr DWORD Kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if ((attributes & Kept) != 0) {
        FILE_BASIC_INFO basic{}; // times of zero stay as they are
        basic.FileAttributes = attributes & Kept;
        ::SetFileInformationByHandle(copy, FileBasicInfo, &basic, sizeof basic);
    }
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring name = widePath(target);
    if (::GetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (dacl && ::GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        // The system drops the inherited entries of an unprotected DACL and puts in
        // those of the copy's folder, the same folder.
        const SECURITY_INFORMATION which =
            DACL_SECURITY_INFORMATION |
            ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                : UNPROTECTED_DACL_SECURITY_INFORMATION);
        ::SetSecurityInfo(copy, SE_FILE_OBJECT, which, nullptr, nullptr, dacl, nullptr);
    }
    ::LocalFree(descriptor);
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

// A running save holds its new copy open without letting anyone delete it, so a
// held copy can't be removed anyway.
bool isHeldBySave(const QString& path) {
    Q_UNUSED(path);
    return false;
}

// The new copy is written through a handle of its own that doesn't share deleting,
// which marks the save in progress: another save can't take it for a leftover.
struct NewCopy::State {
    HANDLE file = INVALID_HANDLE_VALUE;
    QString copy;
    QString target;
    qint64 size = 0;
    Error error = 0;

    void close() {
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    void discard() {
        close();
        if (!copy.isEmpty())
            ::DeleteFileW(widePath(copy).c_str());
        copy.clear();
    }
    ~State() { discard(); }
};

NewCopy::NewCopy() : m_state(std::make_unique<State>()) {}

NewCopy::~NewCopy() = default;

bool NewCopy::begin(const QString& path, const QString& target) {
    Q_UNUSED(path);
    State& s = *m_state;
    s.target = target;
    // A read-only file is not replaced, as on other systems a file without write
    // permission is not.
    const DWORD attributes = ::GetFileAttributesW(widePath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        s.error = ERROR_ACCESS_DENIED;
        return false;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString copy = target + QLatin1Char('.') + sixLetters();
        // DELETE: the copy is renamed over the old file through this handle, so
        // that no other save ever finds it closed and takes it for a leftover.
        const HANDLE file =
            ::CreateFileW(widePath(copy).c_str(),
                          GENERIC_READ | GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC,
                          FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            s.file = file;
            s.copy = copy;
            if (attributes != INVALID_FILE_ATTRIBUTES)
                takeOver(target, attributes, file);
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            s.error = static_cast<Error>(error);
            return false;
        }
    }
    s.error = ERROR_FILE_EXISTS;
    return false;
}

bool NewCopy::writeAt(qint64 offset, const char* data, qint64 size) {
    State& s = *m_state;
    qint64 done = 0;
    while (done < size) {
        const quint64 at = static_cast<quint64>(offset + done);
        OVERLAPPED where{};
        where.Offset = static_cast<DWORD>(at & 0xffffffffu);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD piece = static_cast<DWORD>(std::min<qint64>(size - done, 1 << 30));
        DWORD n = 0;
        if (!::WriteFile(s.file, data + done, piece, &n, &where)) {
            s.error = lastError();
            return false;
        }
        done += n;
    }
    s.size = std::max(s.size, offset + size);
    return true;
}

qint64 NewCopy::size() const {
    return m_state->size;
}

bool NewCopy::resize(qint64 size) {
    State& s = *m_state;
    LARGE_INTEGER to{};
    to.QuadPart = size;
    if (!::SetFilePointerEx(s.file, to, nullptr, FILE_BEGIN) || !::SetEndOfFile(s.file)) {
        s.error = lastError();
        return false;
    }
    s.size = size;
    return true;
}

bool NewCopy::sync() {
    State& s = *m_state;
    s.error = ::FlushFileBuffers(s.file) ? 0 : lastError();
    return s.error == 0;
}

bool NewCopy::commit() {
    State& s = *m_state;
    const std::wstring target = widePath(s.target);
    // Another program holding the old file without sharing deletion (a virus
    // scanner, an editor) is waited for a little, then reported; the old file
    // stays whole. Whether it can be replaced is asked first, so that no failed
    // attempt leaves anything behind.
    const QDeadlineTimer deadline(1000);
    for (;;) {
        const bool exists = ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
        DWORD error = 0;
        if (exists) {
            const HANDLE probe = ::CreateFileW(
                target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            error = probe == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
            if (probe != INVALID_HANDLE_VALUE)
                ::CloseHandle(probe);
        }
        if (!isBusy(error))
            error = renameOver(s.file, s.target);
        if (error == ERROR_ACCESS_DENIED && exists && !deadline.hasExpired()) {
            // Without POSIX semantics (older Windows, Wine) a file someone has open
            // can't be renamed over, even when they share deletion; the quiz holds a
            // set only for the moment of a read, so the rename is tried again.
            ::Sleep(5);
            continue;
        }
        if (error == ERROR_ACCESS_DENIED && exists) {
            s.close();
            error = replaceWith(widePath(s.copy), target);
            if (error != 0) {
                s.error = static_cast<Error>(error);
                return false;
            }
        }
        if (error == 0) {
            s.close();
            s.copy.clear();
            s.error = 0;
            return true;
        }
        if (!isBusy(error) || deadline.hasExpired()) {
            s.error = static_cast<Error>(error);
            return false;
        }
        ::Sleep(50);
    }
}

void NewCopy::drop() {
    m_state->discard();
}

Error NewCopy::error() const {
    return m_state->error;
}

QString NewCopy::why() const {
    return FileError::reason(m_state->error);
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
