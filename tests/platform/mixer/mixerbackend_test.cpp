// What the mixer control relies on of every mixer backend: handles, lines found by
// component type, values that read back, and the result codes of refused calls.

#include "platform/mixer/alsamixerbackend.h"
#include "platform/mixer/mixerbackend.h"
#include "tests/kit/fakemixerbackend.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace platform;

template <typename T>
std::unique_ptr<MixerBackend> make();
template <>
std::unique_ptr<MixerBackend> make<FakeMixerBackend>() { return std::make_unique<FakeMixerBackend>(FakeMixerBackend::typicalCard()); }
template <>
std::unique_ptr<MixerBackend> make<NullMixerBackend>() { return std::make_unique<NullMixerBackend>(); }
struct Alsa {};
template <>
std::unique_ptr<MixerBackend> make<Alsa>() { return makeAlsaMixerBackend(); }

template <typename T>
class MixerBackendConformance : public ::testing::Test {
protected:
    std::unique_ptr<MixerBackend> m = make<T>();
};

using Backends = ::testing::Types<FakeMixerBackend, NullMixerBackend, Alsa>;
TYPED_TEST_SUITE(MixerBackendConformance, Backends);

TYPED_TEST(MixerBackendConformance, WithoutDevicesNothingOpens)
{
    MixerHandle h = 0;
    const std::uint32_t n = this->m->numDevs();
    if (n == 0)
        EXPECT_EQ(this->m->open(0, h), MixerNoDriver);
    else
        EXPECT_EQ(this->m->open(n, h), MixerBadDeviceId);
}

TYPED_TEST(MixerBackendConformance, AHandleNotOpenIsRefused)
{
    MixerLine line;
    line.componentType = DstSpeakers;
    std::int32_t v = 0;
    EXPECT_EQ(this->m->lineByComponent(0xDEAD, line), MixerInvalHandle);
    EXPECT_EQ(this->m->getValue(0xDEAD, 1, v), MixerInvalHandle);
    EXPECT_EQ(this->m->setValue(0xDEAD, 1, 0), MixerInvalHandle);
    EXPECT_EQ(this->m->close(0xDEAD), MixerInvalHandle);
}

TYPED_TEST(MixerBackendConformance, LinesAndControlsOfAnOpenCard)
{
    if (this->m->numDevs() == 0)
        GTEST_SKIP() << "no sound card on this machine";
    MixerHandle h = 0;
    ASSERT_EQ(this->m->open(0, h), MixerOk);
    MixerLine none;
    none.componentType = SrcTelephone;
    EXPECT_EQ(this->m->lineByComponent(h, none), MixerInvalLine);
    MixerLine beyond;
    beyond.destination = 99;
    EXPECT_EQ(this->m->lineByDestination(h, beyond), MixerInvalLine);
    // Every destination's controls are listed, and a mute written reads back.
    MixerCaps caps;
    ASSERT_EQ(this->m->getDevCaps(0, caps), MixerOk);
    for (std::uint32_t d = 0; d < caps.destinations; ++d) {
        MixerLine line;
        line.destination = d;
        ASSERT_EQ(this->m->lineByDestination(h, line), MixerOk);
        std::vector<MixerControl> controls;
        ASSERT_EQ(this->m->allControls(h, line.lineId, controls), MixerOk);
        EXPECT_EQ(controls.size(), line.controls);
        for (const auto& c : controls) {
            if (c.controlType != ControlMute)
                continue;
            std::int32_t before = 0, after = 0;
            ASSERT_EQ(this->m->getValue(h, c.controlId, before), MixerOk);
            ASSERT_EQ(this->m->setValue(h, c.controlId, before ? 0 : 1), MixerOk);
            ASSERT_EQ(this->m->getValue(h, c.controlId, after), MixerOk);
            EXPECT_EQ(after != 0, before == 0);
            EXPECT_EQ(this->m->setValue(h, c.controlId, before), MixerOk);
        }
    }
    EXPECT_EQ(this->m->close(h), MixerOk);
    std::int32_t v = 0;
    EXPECT_EQ(this->m->getValue(h, 1, v), MixerInvalHandle);
}

} // namespace
