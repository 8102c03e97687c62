#include "printing/automation.h"

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr std::string_view kLayerName = "TOleAuto";

RuntimeError automation_error(std::string description, std::string source, std::string operation) {
  RuntimeError e;
  e.gencode = 1001;
  e.severity = RuntimeError::Severity::error;
  e.subsystem = source.empty() ? std::string(kLayerName) : std::move(source);
  e.description = std::move(description);
  e.operation = std::move(operation);
  return e;
}

RuntimeError failed_creation(std::string description, std::string source, std::string_view class_name) {
  RuntimeError e = automation_error(std::move(description), std::move(source),
                                    cp1252_to_utf8(class_name));
  e.subcode = -1;
  return e;
}

// Runs `action`, turning whatever the component throws into the layer's
// runtime error; `make` builds that error from a description and a source.
template <class Action, class Make>
auto guarded(Action&& action, Make&& make) {
  try {
    return action();
  } catch (const RuntimeError&) {
    throw;
  } catch (const AutomationException& e) {
    throw make(std::string(e.what()), e.source());
  } catch (const AutomationStatus& e) {
    throw make(e.status(), std::string());
  } catch (const std::exception& e) {
    throw make(std::string(e.what()), std::string());
  }
}

}  // namespace

AutomationObject::AutomationObject(std::shared_ptr<AutomationClass> object, std::string class_name)
    : object_(std::move(object)), name_(std::move(class_name)) {}

AutomationResult AutomationObject::invoke(std::string_view name, bool as_call) {
  const std::string member = upper(name);
  return guarded(
      [&] { return as_call ? object_->call(member) : object_->get(member); },
      [&](std::string description, std::string source) {
        return automation_error(std::move(description), std::move(source), member);
      });
}

AutomationObject AutomationObject::as_object(AutomationResult result, const std::string& member) {
  auto* object = std::get_if<std::shared_ptr<AutomationClass>>(&result);
  if (object == nullptr || *object == nullptr)
    throw automation_error(std::string(kTypeMismatch), {}, member);
  return AutomationObject(std::move(*object), name_ + "." + member);
}

void AutomationObject::put(std::string_view name, const Value& value) {
  const std::string member = upper(name);
  guarded([&] { object_->put(member, value); },
          [&](std::string description, std::string source) {
            return automation_error(std::move(description), std::move(source), member);
          });
}

Value AutomationObject::get(std::string_view name) {
  AutomationResult result = invoke(name, false);
  if (auto* value = std::get_if<Value>(&result)) return std::move(*value);
  // An object where a value was wanted: the caller cannot use it.
  throw automation_error(std::string(kTypeMismatch), {}, upper(name));
}

AutomationObject AutomationObject::get_object(std::string_view name) {
  return as_object(invoke(name, false), upper(name));
}

void AutomationObject::call(std::string_view name) { invoke(name, true); }

AutomationObject AutomationObject::call_object(std::string_view name) {
  return as_object(invoke(name, true), upper(name));
}

void AutomationObject::no_interface(std::string_view interface_name) const {
  throw automation_error(std::string(kNoInterface), {}, name_ + " (" + std::string(interface_name) + ")");
}

void AutomationRegistry::add(std::string_view class_name, Factory factory,
                             std::string_view class_id) {
  const std::string id = upper(trim(class_id));
  std::erase_if(classes_, [&](const Entry& e) {
    return iequal(e.name, class_name) || (!id.empty() && e.class_id == id);
  });
  classes_.push_back({std::string(class_name), id, std::move(factory)});
}

const AutomationRegistry::Entry* AutomationRegistry::find(std::string_view wanted) const {
  const bool is_id = !wanted.empty() && wanted.front() == '{';
  const std::string key = upper(trim(wanted));
  for (const Entry& e : classes_)
    if (is_id ? e.class_id == key : upper(e.name) == key) return &e;
  return nullptr;
}

bool AutomationRegistry::knows(std::string_view class_name_or_id) const {
  return find(class_name_or_id) != nullptr;
}

AutomationObject AutomationRegistry::create(std::string_view class_name_or_id) const {
  const Entry* entry = find(class_name_or_id);
  if (entry == nullptr) {
    const bool is_id = !class_name_or_id.empty() && class_name_or_id.front() == '{';
    throw failed_creation(std::string(is_id ? kClassNotRegistered : kInvalidClassString), {},
                          class_name_or_id);
  }
  std::shared_ptr<AutomationClass> object = guarded(
      [&] { return entry->factory(); },
      [&](std::string description, std::string source) {
        return failed_creation(std::move(description), std::move(source), class_name_or_id);
      });
  if (object == nullptr)
    throw failed_creation(std::string(kNoInterface), {}, class_name_or_id);
  return AutomationObject(std::move(object), entry->name);
}

}  // namespace tarvo
