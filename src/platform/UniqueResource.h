// One owning wrapper for every kind of handle. A Traits type names the value,
// its empty value, the object that closes it and how:
//
//   struct Traits {
//     using Value = ...; using Owner = ...;
//     static constexpr Value Empty();
//     static void Close(Owner&, Value);
//   };
//
// Move-only; closes on destruction and on Reset. A resource that the system
// frees without an object of ours (a Win32 handle in a stand-alone tool)
// names NoOwner as its Owner and is made from its value alone.
#pragma once

#include <type_traits>
#include <utility>

#include "platform/Platform.h"

namespace hidhost::platform {

struct NoOwner {};

template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;
  using Owner = typename Traits::Owner;
  static constexpr bool kOwnerless = std::is_same_v<Owner, NoOwner>;

  UniqueResource() = default;
  UniqueResource(Owner& owner, Value value) : owner_(&owner), value_(value) {}
  explicit UniqueResource(Value value) requires kOwnerless : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept
      : owner_(other.owner_), value_(std::exchange(other.value_, Traits::Empty())) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      Reset();
      owner_ = other.owner_;
      value_ = std::exchange(other.value_, Traits::Empty());
    }
    return *this;
  }
  ~UniqueResource() { Reset(); }

  Value Get() const { return value_; }
  explicit operator bool() const { return !(value_ == Traits::Empty()); }

  void Reset() {
    if (value_ == Traits::Empty()) return;
    const Value value = std::exchange(value_, Traits::Empty());
    if constexpr (kOwnerless) {
      NoOwner none;
      Traits::Close(none, value);
    } else if (owner_ != nullptr) {
      Traits::Close(*owner_, value);
    }
  }
  void Reset(Owner& owner, Value value) {
    Reset();
    owner_ = &owner;
    value_ = value;
  }
  void Reset(Value value) requires kOwnerless {
    Reset();
    value_ = value;
  }
  // Gives up ownership without closing.
  Value Release() { return std::exchange(value_, Traits::Empty()); }

 private:
  Owner* owner_ = nullptr;
  Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Value = Handle;
  using Owner = Kernel;
  static constexpr Value Empty() { return Handle::None; }
  static void Close(Kernel& kernel, Handle handle) { kernel.CloseHandle(handle); }
};

struct ModuleTraits {
  using Value = Module;
  using Owner = Kernel;
  static constexpr Value Empty() { return Module::None; }
  static void Close(Kernel& kernel, Module module) { kernel.FreeLibrary(module); }
};

struct RegKeyTraits {
  using Value = RegKey;
  using Owner = Registry;
  static constexpr Value Empty() { return RegKey::None; }
  static void Close(Registry& registry, RegKey key) { registry.CloseKey(key); }
};

struct ComObjectTraits {
  using Value = ComObject;
  using Owner = Shell;
  static constexpr Value Empty() { return ComObject::None; }
  static void Close(Shell& shell, ComObject object) { shell.Release(object); }
};

struct MenuTraits {
  using Value = Menu;
  using Owner = Shell;
  static constexpr Value Empty() { return Menu::None; }
  static void Close(Shell& shell, Menu menu) { shell.DestroyMenu(menu); }
};

struct DeviceTraits {
  using Value = Handle;
  using Owner = DriverDevice;
  static constexpr Value Empty() { return Handle::None; }
  static void Close(DriverDevice& driver, Handle device) { driver.Close(device); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueRegKey = UniqueResource<RegKeyTraits>;
using UniqueComObject = UniqueResource<ComObjectTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;

}  // namespace hidhost::platform
