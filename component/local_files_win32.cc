#include <windows.h>

#include <atomic>
#include <cerrno>

#include "component/local_files.h"
#include "runtime/handle_win32.h"

namespace tarvo::component {

namespace {

[[noreturn]] void throw_last_error(const std::filesystem::path& path) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), path.string());
}

// A lock file that another run is deleting refuses to open for a moment
// with "access denied"; a folder that refuses us keeps refusing.
constexpr int kDeniedRetries = 100;
constexpr DWORD kRetryMilliseconds = 20;

// Not in every SDK's headers.
constexpr int kDiskQuotaExceeded = 1295;

void write_all(HANDLE file, std::string_view bytes, const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) throw_last_error(path);
    if (written == 0) throw std::system_error(ERROR_DISK_FULL, std::system_category(), path.string());
    bytes.remove_prefix(written);
  }
}

}  // namespace

// The lock is the file opened with no sharing at all: while one run holds
// it open, every other open fails, and the run waits its turn. The system
// deletes the file when its holder closes it, even when the holder dies.
FileLock::FileLock(std::filesystem::path path) : path_(std::move(path)) {
  while (!lock_current_file()) Sleep(kRetryMilliseconds);
}

bool FileLock::lock_current_file() {
  for (int denied = 0;; ++denied) {
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        throw std::system_error(ERROR_FILE_EXISTS, std::system_category(), path_.string());
      }
      handle_ = reinterpret_cast<std::intptr_t>(file);
      return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return false;
    if (error != ERROR_ACCESS_DENIED || denied == kDeniedRetries) throw_last_error(path_);
    Sleep(kRetryMilliseconds);
  }
}

FileLock::FileLock(FileLock&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
  other.handle_ = -1;
}

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void replace_file(const std::filesystem::path& path, std::string_view content) {
  // A name of our own beside the file: this process, and a count for the
  // files it writes.
  static std::atomic<unsigned> count{0};
  std::filesystem::path temp = path;
  temp += ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(count++);
  {
    const UniqueHandle out(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) throw_last_error(temp);
    try {
      write_all(out.get(), content, temp);
      if (!FlushFileBuffers(out.get())) throw_last_error(temp);
    } catch (...) {
      DeleteFileW(temp.c_str());
      throw;
    }
  }
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    throw std::system_error(static_cast<int>(error), std::system_category(), path.string());
  }
}

std::filesystem::path state_directory() {
  const DWORD size = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), size);
  if (length == 0 || length >= size) return {};
  folder.resize(length);
  return std::filesystem::path(folder) / L"tarvousb";
}

std::string state_directory_variables() { return "LOCALAPPDATA"; }

std::string describe(const std::error_code& error) {
  if (error.category() == std::system_category()) {
    switch (error.value()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_DRIVE:
      case ERROR_BAD_NETPATH: return "a pasta ou o arquivo não existe";
      case ERROR_DIRECTORY: return "um nome do caminho não é uma pasta";
      case ERROR_ACCESS_DENIED: return "não há permissão para gravar";
      case ERROR_WRITE_PROTECT: return "o disco é somente leitura";
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL: return "o disco está cheio";
      case kDiskQuotaExceeded: return "a cota de disco acabou";
      case ERROR_FILE_EXISTS:
      case ERROR_ALREADY_EXISTS: return "o nome já é de algo que não é um arquivo comum";
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION: return "o arquivo está aberto em outro programa";
      case ERROR_WRITE_FAULT:
      case ERROR_READ_FAULT:
      case ERROR_CRC: return "erro de leitura ou gravação no disco";
      default: break;
    }
  }
  if (error.category() == std::generic_category()) {
    switch (error.value()) {
      case ENOENT: return "a pasta ou o arquivo não existe";
      case EACCES: return "não há permissão para gravar";
      case ENOSPC: return "o disco está cheio";
      default: break;
    }
  }
  return error.message();
}

}  // namespace tarvo::component
