#pragma once
// One registration held for the lifetime of an object: construction puts a value into a
// hook, destruction puts back what the hook held before. The hook is either a set...()
// entry point (with the value it held before, the empty one unless given) or a slot the
// caller can reach (a std::function or pointer member), whose old value is kept here.
// The program object holds one of these per hook, in dependency order, so tearing it down
// unregisters in reverse.

#include <type_traits>
#include <utility>

namespace platform {

template <class T>
class ScopedHook {
public:
    using Setter = void (*)(T);

    // Calls set(value) now and set(previous) on destruction.
    ScopedHook(Setter set, std::type_identity_t<T> value, std::type_identity_t<T> previous = T{})
        : set_(set), previous_(std::move(previous))
    {
        set_(std::move(value));
    }
    // Stores value in slot now and the slot's old value back on destruction.
    ScopedHook(T& slot, std::type_identity_t<T> value) : slot_(&slot), previous_(std::move(slot)) { slot = std::move(value); }

    ~ScopedHook()
    {
        if (set_)
            set_(std::move(previous_));
        else if (slot_)
            *slot_ = std::move(previous_);
    }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Setter set_ = nullptr;
    T* slot_ = nullptr;
    T previous_;
};

} // namespace platform
