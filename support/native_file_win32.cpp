#include "support/native_file.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
// aclapi.h builds on the types windows.h declares.
// clang-format off
#include <windows.h>
#include <aclapi.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "support/exact_listing.h"
#include "support/utf16.h"

namespace tamsel::native {

Handle NoHandle() {
    return INVALID_HANDLE_VALUE;
}

std::int64_t HandleNumber(Handle handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

SystemErrorKeeper::SystemErrorKeeper() : saved_(GetLastError()) {}

SystemErrorKeeper::~SystemErrorKeeper() {
    SetLastError(saved_);
}

bool CloseNative(Handle handle) {
    return ::CloseHandle(handle) != 0;
}

// The open shared reading only, so a writer's handle made it fail already.
bool HeldOpenForWriting(const File&) {
    return false;
}

std::size_t CurrentSize(const File& file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file.Get(), &size) ? static_cast<std::size_t>(size.QuadPart) : 0;
}

long long ReadSome(const File& file, char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    return ReadFile(file.Get(), buffer, wanted, &got, nullptr) ? static_cast<long long>(got) : -1;
}

bool WriteAll(const File& file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!WriteFile(file.Get(), bytes.data(), wanted, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        bytes.remove_prefix(wrote);
    }
    return true;
}

namespace {

// Folders are refused: CreateFileW opens them only with backup semantics.
File OpenToRead(const std::wstring& path, DWORD share) {
    return path.empty() ? File()
                        : File(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// A copy of `list` whose allowing entries grant no execution. Where access lists map onto
// POSIX permission bits (wine), reading is reported with execution, and a 0644 menu copied
// as it is would give a 0755 one. The menu is never run, so nobody loses a right by it.
std::vector<unsigned char> WithoutExecution(const ACL& list) {
    std::vector<unsigned char> copy(list.AclSize);
    std::memcpy(copy.data(), &list, list.AclSize);
    const auto acl = reinterpret_cast<PACL>(copy.data());
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* entry = nullptr;
        if (GetAce(acl, index, &entry) &&
            static_cast<ACE_HEADER*>(entry)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            ACCESS_MASK& mask = static_cast<ACCESS_ALLOWED_ACE*>(entry)->Mask;
            MapGenericMask(&mask, &mapping);
            mask &= ~static_cast<ACCESS_MASK>(FILE_EXECUTE);
        }
    }
    return copy;
}

// What a new file is made with: the access list of `like` without execution; the folder's
// inherited one when `like` has none to give.
class InitialSecurity {
  public:
    explicit InitialSecurity(const File& like) {
        PACL source = nullptr;
        PSECURITY_DESCRIPTOR owner = nullptr;  // holds `source`
        const DWORD read =
            like.Valid() ? GetSecurityInfo(like.Get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, &source, nullptr, &owner)
                         : ERROR_INVALID_HANDLE;
        const std::unique_ptr<void, decltype(&LocalFree)> freed(owner, &LocalFree);
        if (read != ERROR_SUCCESS || source == nullptr) {
            return;
        }
        list_ = WithoutExecution(*source);
        ready_ = InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
                 SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<PACL>(list_.data()),
                                           FALSE);
    }
    InitialSecurity(const InitialSecurity&) = delete;
    InitialSecurity& operator=(const InitialSecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return ready_ ? &attributes_ : nullptr; }

  private:
    std::vector<unsigned char> list_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{sizeof attributes_, &descriptor_, FALSE};
    bool ready_ = false;
};

// Read-only too, as the permission bits on POSIX: the handle open for writing keeps
// writing, and Remove and Rename see past it.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool SetAttributes(Handle file, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

std::wstring EntryPath(const std::string& folder, const std::string& name) {
    return IsEntryName(name) ? WidenPath(folder + name) : std::wstring();
}

// The entry shared every way, a folder as a folder; with FILE_FLAG_OPEN_REPARSE_POINT a
// link as a link.
File OpenShared(const std::wstring& path, DWORD access, DWORD flags) {
    if (path.empty()) {
        return File();
    }
    return File(CreateFileW(path.c_str(), access,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, flags | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

File OpenEntryItself(const std::wstring& path, DWORD access) {
    return OpenShared(path, access, FILE_FLAG_OPEN_REPARSE_POINT);
}

File OpenFollowed(const std::wstring& path) {
    return OpenShared(path, FILE_READ_ATTRIBUTES, 0);
}

// Whether the entry opened itself is a link: not every file system reports links as reparse
// points (wine's do not), but what the name leads to is then another file, or none.
bool IsLink(const std::wstring& path, const File& itself) {
    const File followed = OpenFollowed(path);
    return !followed.Valid() || IdOf(followed) != IdOf(itself);
}

DWORD AttributesOf(const File& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(file.Get(), &information) ? information.dwFileAttributes
                                                                : INVALID_FILE_ATTRIBUTES;
}

constexpr DWORD kNoPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

bool IsPlainFile(const File& file) {
    const DWORD attributes = AttributesOf(file);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNoPlainFile) == 0 &&
           GetFileType(file.Get()) == FILE_TYPE_DISK;
}

bool MarkForDeletion(Handle file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

// The path the system reports for an open file: long names for 8.3 ones, the letter case
// stored, no trailing dots or blanks; without the "\\?\" in front (WidenPath adds it again
// where a path needs it).
std::string ReportedPath(Handle file) {
    const DWORD needed = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED);
    std::wstring path(needed, L'\0');
    const DWORD length =
        needed == 0 ? 0
                    : GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= needed) {
        return {};
    }
    path.resize(length);
    if (path.starts_with(LR"(\\?\UNC\)")) {
        path = LR"(\\)" + path.substr(8);
    } else if (path.starts_with(LR"(\\?\)")) {
        path = path.substr(4);
    }
    return Narrow(path);
}

// The path of an open file or folder within its volume, if any. Unlike
// GetFinalPathNameByHandleW it answers for paths longer than MAX_PATH under wine.
std::optional<std::wstring> VolumePath(Handle file) {
    std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!GetFileInformationByHandleEx(file, FileNameInfo, info,
                                      static_cast<DWORD>(buffer.size()))) {
        return std::nullopt;
    }
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// Whether an entry opened by `path` is the entry of that name itself. Wine follows unix
// links whatever the flags say, and deleting through its handle would delete any file of the
// user's a link leads to; such a handle names another path than its folder's and its name.
bool IsItself(Handle entry, const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return false;
    }
    // The folder without its last separator, which a "\\?\" path may not end in; a drive's
    // root keeps it.
    std::wstring folderPath = path.substr(0, separator);
    if (folderPath.empty() || folderPath.back() == L':') {
        folderPath = path.substr(0, separator + 1);
    }
    const std::optional<std::wstring> folder = VolumePath(OpenFollowed(folderPath).Get());
    const std::optional<std::wstring> reported = VolumePath(entry);
    if (!folder || !reported) {
        return false;
    }
    const std::wstring expected =
        *folder + (folder->ends_with(L'\\') ? L"" : L"\\") + path.substr(separator + 1);
    return CompareStringOrdinal(expected.c_str(), static_cast<int>(expected.size()),
                                reported->c_str(), static_cast<int>(reported->size()),
                                TRUE) == CSTR_EQUAL;
}

// `change` tried once more after the read-only attribute, when `attributes` hold it, was
// taken away by `set`; the attribute is put back when it fails again.
template <typename Change, typename Set>
bool RetryWithoutReadOnly(DWORD attributes, Change change, Set set) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
        !set(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
        return false;
    }
    if (change()) {
        return true;
    }
    set(attributes);
    return false;
}

// Deleted through a handle on the name itself: a link goes, never what it leads to. A
// read-only file loses that attribute, as on POSIX only the folder decides; it is put back
// when the deletion fails anyway.
bool RemoveItself(const std::wstring& path) {
    const File file = OpenEntryItself(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    const DWORD attributes = AttributesOf(file);
    if (!file.Valid() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsItself(file.Get(), path)) {
        return false;
    }
    const auto mark = [&] { return MarkForDeletion(file.Get()); };
    return mark() || RetryWithoutReadOnly(attributes, mark, [&](DWORD without) {
               return SetAttributes(file.Get(), without);
           });
}

// Windows refuses to replace a read-only file, where POSIX asks only the folder: `change`
// is tried again without the read-only attribute of the file at `path`.
template <typename Change>
bool EvenIfReadOnly(const std::wstring& path, Change change) {
    if (change()) {
        return true;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           RetryWithoutReadOnly(attributes, change, [&](DWORD without) {
               return SetFileAttributesW(path.c_str(), without) != 0;
           });
}

// Whether the entry opened by `path` is anything but a plain file of that name: a folder, a
// link the file system reports, or (under wine, which follows unix links whatever the flags
// say) the file a link leads to.
bool IsNoPlainFileItself(const std::wstring& path, const File& entry) {
    return !IsPlainFile(entry) || IsLink(path, entry) || !IsItself(entry.Get(), path);
}

LockState TryLockExclusive(const File& file) {
    OVERLAPPED whole{};
    if (LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole)) {
        return LockState::Held;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockState::Busy : LockState::Failed;
}

}  // namespace

// Devices are refused too.
File OpenForReading(const std::string& path) {
    File file = OpenToRead(WidenPath(path), FILE_SHARE_READ);
    return file.Valid() && GetFileType(file.Get()) != FILE_TYPE_DISK ? File() : std::move(file);
}

bool CopyMetadata(const File& from, const File& to) {
    BY_HANDLE_FILE_INFORMATION source{};
    return GetFileInformationByHandle(from.Get(), &source) &&
           SetAttributes(to.Get(), source.dwFileAttributes & kCopiedAttributes);
}

std::optional<FileId> IdOf(const File& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) {
        return std::nullopt;
    }
    return FileId{information.dwVolumeSerialNumber,
                  (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

bool Rewind(const File& file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) != 0;
}

// Without FILE_SHARE_DELETE, nobody can rename or remove the folder while it is held.
std::unique_ptr<Folder> Folder::Open(const std::string& path) {
    const std::wstring widePath = WidenPath(path.empty() ? std::string(".") : path);
    if (widePath.empty()) {
        return nullptr;
    }
    File handle(CreateFileW(widePath.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Valid() || (AttributesOf(handle) & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return nullptr;
    }
    return std::make_unique<Folder>(std::move(handle), path);
}

// Windows keeps folder entries durable itself once MoveFileEx was asked to write through.
bool Folder::Sync() {
    return true;
}

File Folder::OpenEntry(const std::string& name) const {
    File file = OpenToRead(EntryPath(path_, name), FILE_SHARE_READ | FILE_SHARE_DELETE);
    return file.Valid() && !IsPlainFile(file) ? File() : std::move(file);
}

// CREATE_NEW fails on any existing name, a folder link too; there are no FIFOs to wait on.
// The access list goes on at creation: set afterwards, wine gives mode 0775 whatever it says.
File Folder::CreateEntry(const std::string& name) const {
    const std::wstring path = EntryPath(path_, name);
    if (path.empty()) {
        return File();
    }
    InitialSecurity security(source_);
    return File(CreateFileW(path.c_str(), GENERIC_WRITE, 0, security.Attributes(), CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Folder::Remove(const std::string& name) {
    const std::wstring path = EntryPath(path_, name);
    return !path.empty() && RemoveItself(path);
}

// MoveFileExW replaces the target in one step, as rename() does; ReplaceFileW keeps more
// metadata but goes through intermediate names, may leave the target renamed away on
// failure, and cannot be asked to write through.
bool Folder::Rename(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = EntryPath(path_, from);
    const std::wstring wideTo = EntryPath(path_, to);
    return !wideFrom.empty() && !wideTo.empty() && EvenIfReadOnly(wideTo, [&] {
        return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

// Windows has no call that swaps two names in one step.
ExchangeResult Folder::Exchange(const std::string&, const std::string&) {
    return ExchangeResult::Unsupported;
}

// Without MOVEFILE_REPLACE_EXISTING, MoveFileEx refuses a name that is taken, in one step.
bool Folder::RenameNew(const std::string& from, const std::string& to) {
    const std::wstring wideFrom = EntryPath(path_, from);
    const std::wstring wideTo = EntryPath(path_, to);
    return !wideFrom.empty() && !wideTo.empty() &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

// A name whose attributes cannot be read for any reason but its absence is taken.
bool Folder::HasEntry(const std::string& name) {
    const std::wstring path = EntryPath(path_, name);
    if (path.empty()) {
        return false;
    }
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// A linked menu is read through its link and replaced by a plain file on Windows, so the
// link is followed here as for reading.
std::optional<FileId> Folder::EntryId(const std::string& name) const {
    const File file = OpenFollowed(EntryPath(path_, name));
    return file.Valid() ? IdOf(file) : std::nullopt;
}

unsigned Folder::EntryPermissions(const std::string&, unsigned otherwise) const {
    return otherwise;
}

// The entry is looked at itself first, then made with CREATE_NEW, which fails on any name
// taken, a dangling link too (wine follows links whatever the flags say: OPEN_ALWAYS would
// create the file a dangling link leads to). One already there is opened for reading alone,
// enough to lock it, so nothing a link leads to is opened for writing or locked through.
// Where CREATE_NEW found the name taken but OPEN_EXISTING finds nothing, a dangling link is.
LockState Folder::Lock(const std::string& name, unsigned, File& file) const {
    const std::wstring path = EntryPath(path_, name);
    if (path.empty()) {
        return LockState::Failed;
    }
    if (const File existing = OpenEntryItself(path, FILE_READ_ATTRIBUTES);
        existing.Valid() && IsNoPlainFileItself(path, existing)) {
        return LockState::NotAFile;
    }
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    constexpr DWORD kFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    file = File(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShare, nullptr, CREATE_NEW,
                            kFlags, nullptr));
    if (!file.Valid()) {
        const DWORD created = GetLastError();
        if (created != ERROR_FILE_EXISTS && created != ERROR_ALREADY_EXISTS) {
            return LockState::Failed;
        }
        file = File(CreateFileW(path.c_str(), GENERIC_READ, kShare, nullptr, OPEN_EXISTING, kFlags,
                                nullptr));
    }
    if (!file.Valid()) {
        const DWORD opened = GetLastError();
        return opened == ERROR_FILE_NOT_FOUND ? LockState::NotAFile : LockState::Failed;
    }
    if (IsNoPlainFileItself(path, file)) {
        file = File();
        return LockState::NotAFile;
    }
    return TryLockExclusive(file);
}

bool FlushToDisk(const File& file) {
    return FlushFileBuffers(file.Get()) != 0;
}

// Windows has no call that starts writing a file back without waiting for it.
void StartWriteBack(const File&) {}

// Linking takes privileges on Windows and menus are not linked there, so a linked menu is
// replaced as a file: the link itself is opened. The name the file system keeps comes back,
// so every spelling of one menu (8.3, a trailing dot, a letter case) gets the same names.
std::string FinalTarget(const std::string& path) {
    const File file = OpenEntryItself(WidenPath(path), FILE_READ_ATTRIBUTES);
    if (!file.Valid()) {
        return path;
    }
    const std::string reported = ReportedPath(file.Get());
    return reported.empty() ? path : reported;
}

}  // namespace tamsel::native
