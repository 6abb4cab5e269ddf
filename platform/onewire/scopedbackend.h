#pragma once
// One 1-Wire backend registered for the lifetime of an object: construction serves
// (portType, portNum) with it, destruction puts back the entry that key held before (or
// frees the key), unless the entry was replaced meanwhile. Movable, so an owner can hold
// a list of them; the program holds its ports' backends so.

#include "platform/onewire/tmex.h"

#include <memory>
#include <utility>

namespace platform {

// A backend a library offers for a port; its owner registers it.
struct PortBackend {
    int portType = -1;  // -1: any
    int portNum = -1;
    std::shared_ptr<OneWireBackend> backend;
};

class ScopedBackend {
public:
    ScopedBackend(int portType, int portNum, std::shared_ptr<OneWireBackend> backend)
        : type_(portType), num_(portNum), backend_(std::move(backend)), previous_(registeredBackend(portType, portNum))
    {
        registerBackend(type_, num_, backend_);
    }
    explicit ScopedBackend(PortBackend offered) : ScopedBackend(offered.portType, offered.portNum, std::move(offered.backend)) {}
    ~ScopedBackend() { release(); }

    ScopedBackend(ScopedBackend&& other) noexcept
        : type_(other.type_), num_(other.num_), backend_(std::move(other.backend_)), previous_(std::move(other.previous_))
    {
        other.backend_.reset();
        other.previous_.reset();
    }
    ScopedBackend& operator=(ScopedBackend&&) = delete;
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

    const std::shared_ptr<OneWireBackend>& backend() const { return backend_; }

private:
    void release()
    {
        if (!backend_ || registeredBackend(type_, num_) != backend_)
            return;
        if (previous_)
            registerBackend(type_, num_, previous_);
        else
            unregisterBackend(type_, num_);
    }

    int type_;
    int num_;
    std::shared_ptr<OneWireBackend> backend_;
    std::shared_ptr<OneWireBackend> previous_;
};

} // namespace platform
