#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/value.h"

namespace tarvo {

// The automation layer: objects created from a class name and driven by
// member name (put one value, get, call without arguments), as the slip
// issuing drives the slip component.
//
// A component implements AutomationClass for each kind of object it hands
// out and registers a factory for its top-level class in an
// AutomationRegistry. The engine never sees AutomationClass: it holds
// AutomationObject handles, which upper-case member names, share ownership
// of the object (it is released when the last handle goes) and turn every
// failure into a RuntimeError of general code 1001.
//
// Texts: values carry texts as the program holds them, Windows-1252 bytes
// (runtime/text.h converts them for drawing). Exception texts are UTF-8.

class AutomationClass;

// What a get or a call gives back: a plain value, or an object of its own
// (a collection, a document, a settings group...).
using AutomationResult = std::variant<Value, std::shared_ptr<AutomationClass>>;

// What a component throws when a member or its creation fails. `what()` is
// the component's own text (UTF-8), `source` the part of the component that
// raised it (empty: the layer's own name stands instead).
class AutomationException : public std::runtime_error {
 public:
  explicit AutomationException(const std::string& text, std::string source = {})
      : std::runtime_error(text), source_(std::move(source)) {}
  const std::string& source() const { return source_; }

 private:
  std::string source_;
};

// A failure without a text of its own: the layer reports the status name
// (for example "DISP_E_MEMBERNOTFOUND").
class AutomationStatus : public std::exception {
 public:
  explicit AutomationStatus(std::string status_name) : status_(std::move(status_name)) {}
  const std::string& status() const { return status_; }
  const char* what() const noexcept override { return status_.c_str(); }

 private:
  std::string status_;
};

// Status names the layer and components use.
inline constexpr std::string_view kMemberNotFound = "DISP_E_MEMBERNOTFOUND";
inline constexpr std::string_view kTypeMismatch = "DISP_E_TYPEMISMATCH";
inline constexpr std::string_view kClassNotRegistered = "REGDB_E_CLASSNOTREG";
inline constexpr std::string_view kInvalidClassString = "CO_E_CLASSSTRING";
inline constexpr std::string_view kNoInterface = "E_NOINTERFACE";

// The interface a component implements, once per kind of object.
//
// `name` always arrives upper-cased (ASCII letters), so a component compares
// against its members' upper-case names and thereby resolves them without
// regard to letter case. A member the object does not have throws
// AutomationStatus(kMemberNotFound) (unknown_member() below does it); a
// value of the wrong kind throws AutomationStatus(kTypeMismatch) or an
// AutomationException with a text of its own; any other failure throws
// AutomationException. Any other std::exception is reported with its what().
//
// Objects handed out by get/call are shared: the caller keeps a handle for as
// long as it needs the object, and the component may keep its own (a
// collection keeps its items).
class AutomationClass {
 public:
  virtual ~AutomationClass() = default;
  // A property read or a method call without arguments; the caller does not
  // say which, so a component treats both alike where that makes sense.
  virtual AutomationResult get(std::string_view name) = 0;
  // A property assignment of one value: text, number or date (which may be
  // the empty date, what an invalid date in the print file becomes).
  virtual void put(std::string_view name, const Value& value) = 0;
  // A method call without arguments. By default the same as get.
  virtual AutomationResult call(std::string_view name) { return get(name); }

 protected:
  [[noreturn]] static void unknown_member() { throw AutomationStatus(std::string(kMemberNotFound)); }
};

// A handle on one automation object. Copies share the object; it is released
// when the last handle (and the component's own references) go. Every failure
// is a RuntimeError: general code 1001, the description (the component's
// text, else the status name), the subsystem (the exception's source, else
// "TOleAuto") and the member as the operation.
class AutomationObject {
 public:
  explicit AutomationObject(std::shared_ptr<AutomationClass> object, std::string class_name = {});

  // Property put of one value.
  void put(std::string_view name, const Value& value);
  // Property get / call without arguments that must give a value.
  Value get(std::string_view name);
  // Property get / call without arguments that must give an object.
  AutomationObject get_object(std::string_view name);
  // Method call without arguments; its result, if any, is not looked at.
  void call(std::string_view name);
  // Method call without arguments that must give an object (a collection's ADD).
  AutomationObject call_object(std::string_view name);

  // The object through one of the program's own interfaces that it offers
  // beside automation (a component's preview offers its pages); a failure
  // naming `interface_name` when it offers none.
  template <class Interface>
  std::shared_ptr<Interface> offered(std::string_view interface_name) const {
    if (auto offered = std::dynamic_pointer_cast<Interface>(object_)) return offered;
    no_interface(interface_name);
  }

  // The name the object was created or reached by ("CLASS" or "CLASS.MEMBER").
  const std::string& name() const { return name_; }
  long use_count() const { return object_.use_count(); }

 private:
  AutomationResult invoke(std::string_view name, bool as_call);
  AutomationObject as_object(AutomationResult result, const std::string& member);
  [[noreturn]] void no_interface(std::string_view interface_name) const;

  std::shared_ptr<AutomationClass> object_;
  std::string name_;
};

// The classes that can be created, by name (letter case ignored) or by class
// id (a text beginning with "{", letter case ignored).
class AutomationRegistry {
 public:
  using Factory = std::function<std::shared_ptr<AutomationClass>()>;

  // Registers a class under its name and, when given, its class id
  // ("{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"). A later registration of the
  // same name or id replaces the earlier one.
  void add(std::string_view class_name, Factory factory, std::string_view class_id = {});

  bool knows(std::string_view class_name_or_id) const;

  // Creates one object. An unknown name or id, a factory that throws or one
  // that gives nothing is a failed creation: RuntimeError 1001, severity
  // error, sub-code -1, subsystem "TOleAuto" or the exception's source, the
  // class name as the operation.
  AutomationObject create(std::string_view class_name_or_id) const;

 private:
  struct Entry {
    std::string name;      // as registered
    std::string class_id;  // upper-cased, may be empty
    Factory factory;
  };
  const Entry* find(std::string_view class_name_or_id) const;
  std::vector<Entry> classes_;
};

}  // namespace tarvo
