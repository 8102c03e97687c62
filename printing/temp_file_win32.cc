#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>

#include "printing/temp_file.h"
#include "runtime/handle_win32.h"
#include "runtime/wide_text.h"

namespace tarvo {
namespace {

// How often a file that another run holds is looked at again.
constexpr DWORD kWaitStep = 50;

HANDLE file_of(std::intptr_t fd) { return reinterpret_cast<HANDLE>(fd); }

std::error_code system_error(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_WRITE_PROTECT: return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_PATH_NOT_FOUND: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_FILE_TOO_LARGE: return std::make_error_code(std::errc::file_too_large);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return std::make_error_code(std::errc::io_error);
    default: return {static_cast<int>(error), std::system_category()};
  }
}

struct LocalMemory {
  void operator()(void* p) const { LocalFree(p); }
};

// The user this process runs as.
class CurrentUser {
 public:
  CurrentUser() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    buffer_.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer_.data(), size, &size)) buffer_.clear();
  }
  PSID sid() const { return buffer_.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(buffer_.data())->User.Sid; }

 private:
  std::vector<BYTE> buffer_;
};

// Security for a new file that only its owner may open; none (the folder's
// own) when the system cannot make it.
class OwnerOnly {
 public:
  explicit OwnerOnly(const CurrentUser& user) {
    LPWSTR sid_text = nullptr;
    if (user.sid() == nullptr || !ConvertSidToStringSidW(user.sid(), &sid_text)) return;
    const std::unique_ptr<wchar_t, LocalMemory> owned_text(sid_text);
    const std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sid_text) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
      return;
    descriptor_.reset(descriptor);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor;
  }
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  std::unique_ptr<void, LocalMemory> descriptor_;
  SECURITY_ATTRIBUTES attributes_{};
};

bool owned_by(HANDLE file, const CurrentUser& user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return false;
  const std::unique_ptr<void, LocalMemory> owned(descriptor);
  return user.sid() != nullptr && owner != nullptr && EqualSid(owner, user.sid());
}

// Marks an open file for removal: it goes when its last handle is closed.
bool mark_for_removal(HANDLE file) {
  FILE_DISPOSITION_INFO removal{};
  removal.DeleteFile = TRUE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &removal, sizeof removal) != 0;
}

OVERLAPPED at_offset(std::int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

}  // namespace

// A new file that others may only read: nobody can write, rename or remove
// it while we hold it, so the name denotes it until we let it go. Only its
// owner may open it at all.
LockedTempFile::Step LockedTempFile::create_own_file() {
  const CurrentUser user;
  OwnerOnly security(user);
  const HANDLE file = CreateFileW(wide_from_utf8(path_).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                  FILE_SHARE_READ, security.attributes(), CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    fd_ = reinterpret_cast<std::intptr_t>(file);
    return Step::done;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return Step::again;
  fail(Problem::cannot_create, system_error(error));
  return Step::failed;
}

// Opened alone and never followed, only to see what it is and to remove it.
// While another run holds it the open is refused: we wait our turn.
LockedTempFile::Step LockedTempFile::deal_with_existing_file() {
  const std::wstring name = wide_from_utf8(path_);
  const CurrentUser user;
  for (;;) {
    const UniqueHandle existing(CreateFileW(name.c_str(), DELETE | FILE_READ_ATTRIBUTES | READ_CONTROL, 0, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
    if (!existing) {
      const DWORD error = GetLastError();
      if (error == ERROR_SHARING_VIOLATION) {
        Sleep(kWaitStep);
        continue;
      }
      if (error == ERROR_FILE_NOT_FOUND) return Step::again;  // gone meanwhile
      if (error == ERROR_ACCESS_DENIED) {
        // Not ours to remove: whose is it?
        const UniqueHandle look(CreateFileW(name.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING,
                                            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (look && !owned_by(look.get(), user)) {
          fail(Problem::foreign);
          return Step::failed;
        }
      }
      fail(Problem::cannot_create, system_error(error));
      return Step::failed;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(existing.get(), &info)) {
      fail(Problem::cannot_create, system_error(GetLastError()));
      return Step::failed;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      fail(Problem::link);
      return Step::failed;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(existing.get()) != FILE_TYPE_DISK) {
      fail(Problem::not_a_file);
      return Step::failed;
    }
    if (mark_for_removal(existing.get())) return Step::again;
    const DWORD error = GetLastError();
    const bool ours = owned_by(existing.get(), user) && info.nNumberOfLinks == 1;
    fail(ours ? Problem::cannot_create : Problem::foreign, system_error(error));
    return Step::failed;
  }
}

// Reads and writes name their place in the file: a positioned read moves
// the file's own pointer.
bool LockedTempFile::write(std::string_view bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    OVERLAPPED at = at_offset(written_);
    DWORD done = 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!WriteFile(file_of(fd_), bytes.data(), size, &done, &at) || done == 0) {
      const DWORD error = GetLastError();
      fail(Problem::cannot_write, system_error(error != ERROR_SUCCESS ? error : ERROR_DISK_FULL));
      return false;
    }
    bytes.remove_prefix(done);
    written_ += done;
  }
  return true;
}

bool LockedTempFile::reserve(std::size_t size) {
  if (!ok()) return false;
  if (size == 0) return true;
  FILE_ALLOCATION_INFO room{};
  room.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
  if (SetFileInformationByHandle(file_of(fd_), FileAllocationInfo, &room, sizeof room)) return true;
  const DWORD error = GetLastError();
  if (error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL && error != ERROR_FILE_TOO_LARGE) return true;
  fail(Problem::cannot_write, system_error(error));
  return false;
}

std::optional<std::size_t> LockedTempFile::read(std::span<char> buffer) {
  if (!ok()) return std::nullopt;
  const auto unread = static_cast<std::size_t>(written_ - read_at_);
  if (unread == 0 || buffer.empty()) return 0;
  OVERLAPPED at = at_offset(read_at_);
  DWORD done = 0;
  const auto size = static_cast<DWORD>(std::min({buffer.size(), unread, std::size_t{1} << 30}));
  if (!ReadFile(file_of(fd_), buffer.data(), size, &done, &at)) return std::nullopt;
  read_at_ += done;
  return done;
}

// We hold the only handle that may remove it, so it is our file that goes.
void LockedTempFile::remove() {
  if (fd_ == -1) return;
  mark_for_removal(file_of(fd_));
  CloseHandle(file_of(fd_));
  fd_ = -1;
}

}  // namespace tarvo
