#include "shell/mixer/soundmixer.h"

namespace shell {

namespace {
NullMixer nullMixer;
SoundMixerControl* current = nullptr;
} // namespace

SoundMixerControl& SoundMixer() { return current ? *current : nullMixer; }
void setSoundMixer(SoundMixerControl* mixer) { current = mixer; }

} // namespace shell
