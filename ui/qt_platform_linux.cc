#include "ui/qt_platform.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace tarvo::ui {
namespace {

enum class Desktop { x11, wayland, none };

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? v : "";
}

// The platform's name without its options ("xcb:opt=1" is "xcb").
std::string_view plugin_key(std::string_view platform) {
  return platform.substr(0, platform.find(':'));
}

Desktop desktop_of(std::string_view platform) {
  const std::string_view key = plugin_key(platform);
  if (key == "xcb") return Desktop::x11;
  if (key == "wayland" || key.starts_with("wayland-")) return Desktop::wayland;
  return Desktop::none;
}

std::vector<QString> plugin_folders() {
  std::vector<QString> folders;
  if (const std::string own = env("QT_QPA_PLATFORM_PLUGIN_PATH"); !own.empty())
    folders.push_back(QString::fromLocal8Bit(own.c_str()));
  for (const QString& dir : QString::fromLocal8Bit(env("QT_PLUGIN_PATH").c_str()).split(':', Qt::SkipEmptyParts))
    folders.push_back(dir + "/platforms");
  folders.push_back(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
  return folders;
}

// Whether a platform plugin for `key` is installed and loads, its own
// libraries included.
bool plugin_loads(std::string_view key) {
  const QString wanted = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
  for (const QString& folder : plugin_folders()) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList({"*.so"}, QDir::Files)) {
      QPluginLoader loader(dir.filePath(file));
      const QJsonArray keys = loader.metaData().value("MetaData").toObject().value("Keys").toArray();
      for (const auto& k : keys)
        if (k.toString().compare(wanted, Qt::CaseInsensitive) == 0) return loader.load();
    }
  }
  return false;
}

// Whether the X display named by DISPLAY accepts us, authorisation included.
// libxcb is what the xcb platform connects with; it is looked up here rather
// than linked, so that the program runs where there is no X at all.
bool x_display_opens() {
  if (env("DISPLAY").empty()) return false;
  void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
  const auto has_error = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
  const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
  bool opens = false;
  if (connect != nullptr && has_error != nullptr && disconnect != nullptr) {
    void* connection = connect(nullptr, nullptr);  // never null: a failed one reports its error
    opens = has_error(connection) == 0;
    disconnect(connection);
  }
  ::dlclose(xcb);
  return opens;
}

// Whether a Wayland compositor listens where libwayland looks for it:
// WAYLAND_DISPLAY (else "wayland-0"), under XDG_RUNTIME_DIR unless absolute.
bool wayland_socket_accepts() {
  std::string name = env("WAYLAND_DISPLAY");
  if (name.empty()) name = "wayland-0";
  if (name.front() != '/') {
    const std::string runtime_dir = env("XDG_RUNTIME_DIR");
    if (runtime_dir.empty()) return false;
    name = runtime_dir + "/" + name;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool accepts = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return accepts;
}

bool can_show(std::string_view platform) {
  switch (desktop_of(platform)) {
    case Desktop::x11: return x_display_opens() && plugin_loads(plugin_key(platform));
    case Desktop::wayland: return wayland_socket_accepts() && plugin_loads(plugin_key(platform));
    case Desktop::none: return false;
  }
  return false;
}

std::vector<std::string> split(const std::string& list, char separator) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t end; (end = list.find(separator, start)) != std::string::npos; start = end + 1)
    items.push_back(list.substr(start, end - start));
  items.push_back(list.substr(start));
  return items;
}

}  // namespace

std::string usable_qt_platform() {
  for (const std::string& named : split(env("QT_QPA_PLATFORM"), ';')) {
    if (named.empty()) continue;
    // A platform without a screen was asked for: there is no display.
    if (desktop_of(named) == Desktop::none) return {};
    if (can_show(named)) return named;
  }
  // As Qt orders them: Wayland first in a Wayland session, else X11.
  const bool wayland_session = env("XDG_SESSION_TYPE") == "wayland";
  for (const char* platform : wayland_session ? std::vector{"wayland", "xcb"} : std::vector{"xcb", "wayland"})
    if (can_show(platform)) return platform;
  return {};
}

}  // namespace tarvo::ui
