#pragma once
// State as a freshly started program has it, for the object's life: Reset (the reset of
// the highest layer the test links: core::resetCoreLayer, device::resetDeviceLayer,
// shell::resetShellLayer, editor::resetEditorLayer, amplifier::resetAmplifierLayer or
// app::resetAllState) runs on construction and on destruction. A fixture holds one as its
// first member, so the state is fresh before the other members are built and after they
// are gone; or after the members an open 1-Wire session still uses (a backend over a member
// network or emulator), so the sessions close while those are there. Header only: the test
// includes its layer's reset header and links its library.

namespace testing_support {

template <void (*Reset)()>
struct FreshState {
    FreshState() { Reset(); }
    ~FreshState() { Reset(); }
    FreshState(const FreshState&) = delete;
    FreshState& operator=(const FreshState&) = delete;
};

} // namespace testing_support
