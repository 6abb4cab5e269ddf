#include "shell/mixer/mixertexts.h"

#include <utility>
#include <vector>

namespace shell {

namespace {

const char* const kCrLf = "\r\n";

struct Named {
    std::uint32_t value;
    const char* name;
    const char* description;
};

const std::vector<Named>& componentTypes()
{
    static const std::vector<Named> t = {
        {0, "MIXERLINE_COMPONENTTYPE_DST_UNDEFINED:", "Audio line is a destination that cannot be defined\r\nby one of the standard component types."},
        {1, "MIXERLINE_COMPONENTTYPE_DST_DIGITAL:", "Audio line is a digital destination\r\n(for example, a digital input to a DAT or CD audio device)."},
        {2, "MIXERLINE_COMPONENTTYPE_DST_LINE:", "Audio line is a line level destination\r\n(for example, a line level input from a CD audio device)\r\nthat will be the final recording source for the ADC."},
        {3, "MIXERLINE_COMPONENTTYPE_DST_MONITOR:", "Audio line is a destination used for a monitor."},
        {4, "MIXERLINE_COMPONENTTYPE_DST_SPEAKERS:", "Audio line is an adjustable (gain and/or attenuation) destination\r\nintended to drive speakers.\r\nThis is the typical component type for the audio output of audio cards."},
        {5, "MIXERLINE_COMPONENTTYPE_DST_HEADPHONES:", "Audio line is an adjustable (gain and/or attenuation) destination\r\nintended to drive headphones."},
        {6, "MIXERLINE_COMPONENTTYPE_DST_TELEPHONE:", "Audio line is a destination that will be routed to a telephone line."},
        {7, "MIXERLINE_COMPONENTTYPE_DST_WAVEIN:", "Audio line is a destination that will be the final recording source\r\nfor the waveform-audio input (ADC).\r\nThis is the typical component type for the recording line of audio cards."},
        {8, "MIXERLINE_COMPONENTTYPE_DST_VOICEIN:", "Audio line is a destination that will be the final recording source\r\nfor voice input.\r\nThis component type is exactly like DST_WAVEIN\r\nbut is intended specifically for settings used during voice recognition."},
        {4096, "MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED", "Audio line is a source that cannot be defined\r\nby one of the standard component types."},
        {4097, "MIXERLINE_COMPONENTTYPE_SRC_DIGITAL:", "Audio line is a digital source\r\n(for example, digital output from a DAT or audio CD)."},
        {4098, "MIXERLINE_COMPONENTTYPE_SRC_LINE:", "Audio line is a line-level source\r\n(for example, line-level input from an external stereo)\r\nthat can be used as an optional recording source."},
        {4099, "MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE:", "Audio line is a microphone recording source.\r\nMost audio cards for personal computers provide at least two types of recording sources:\r\nan auxiliary audio line and microphone input.\r\nA microphone audio line typically provides some sort of gain.\r\nAudio cards that use a single input for use with a microphone or auxiliary audio line\r\nshould use the microphone component type."},
        {4100, "MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER:", "Audio line is a source originating from the output\r\nof an internal synthesizer.\r\nMost audio cards for personal computers provide some sort of MIDI synthesizer."},
        {4101, "MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC:", "Audio line is a source originating from the output\r\nof an internal audio CD.\r\nThis component type is provided for audio cards\r\nthat provide an audio source line intended to be connected to an audio CD\r\n(or CD-ROM playing an audio CD)."},
        {4102, "MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE:", "Audio line is a source originating from an incoming telephone line."},
        {4103, "MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER:", "Audio line is a source originating from personal computer speaker.\r\nSeveral audio cards for personal computers provide the ability\r\nto mix what would typically be played on the internal speaker\r\nwith the output of an audio card."},
        {4104, "MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT:", "Audio line is a source originating from the waveform-audio output\r\ndigital-to-analog converter (DAC).\r\nMost audio cards for personal computers provide this component type\r\nas a source to the DST_SPEAKERS destination."},
        {4105, "MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY:", "Audio line is a source originating from the auxiliary audio line.\r\nThis line type is intended as a source with gain or attenuation\r\nthat can be routed to the DST_SPEAKERS destination\r\nand/or recorded from the DST_WAVEIN destination."},
        {4106, "MIXERLINE_COMPONENTTYPE_SRC_ANALOG:", "Audio line is an analog source\r\n(for example, analog output from a video-cassette tape)."},
    };
    return t;
}

std::string lookup(const std::vector<Named>& table, std::uint32_t value, bool withDescription)
{
    for (const auto& n : table)
        if (n.value == value)
            return withDescription ? std::string(n.name) + kCrLf + n.description : std::string(n.name);
    return "no translation found";
}

} // namespace

std::string TrimAtNul(const std::string& s)
{
    const auto nul = s.find('\0');
    return nul == std::string::npos ? s : s.substr(0, nul);
}

std::string ComponentTypeText(std::uint32_t value) { return lookup(componentTypes(), value, true); }

std::string LineFlagsText(std::uint32_t value)
{
    static const std::vector<Named> t = {
        {0x80000000u, "MIXERLINE_LINEF_SOURCE:", "Audio line is a source line\r\nassociated with a single destination line."},
        {1, "MIXERLINE_LINEF_ACTIVE:", "Audio line is active.\r\nAn active line indicates that a signal is probably passing through the line."},
        {0x8000, "MIXERLINE_LINEF_DISCONNECTED:", "Audio line is disconnected.\r\nA disconnected line's associated controls can still be modified,\r\nbut the changes have no effect until the line is connected."},
    };
    return lookup(t, value, true);
}

std::string ControlTypeText(std::uint32_t value)
{
    static const std::vector<Named> t = {
        {0x10010000, "MIXERCONTROL_CONTROLTYPE_BOOLEANMETER", ""},
        {0x10020000, "MIXERCONTROL_CONTROLTYPE_SIGNEDMETER", ""},
        {0x10020001, "MIXERCONTROL_CONTROLTYPE_PEAKMETER", ""},
        {0x10030000, "MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER", ""},
        {0x20010000, "MIXERCONTROL_CONTROLTYPE_BOOLEAN", ""},
        {0x20010001, "MIXERCONTROL_CONTROLTYPE_ONOFF", ""},
        {0x20010002, "MIXERCONTROL_CONTROLTYPE_MUTE", ""},
        {0x20010003, "MIXERCONTROL_CONTROLTYPE_MONO", ""},
        {0x20010004, "MIXERCONTROL_CONTROLTYPE_LOUDNESS", ""},
        {0x20010005, "MIXERCONTROL_CONTROLTYPE_STEREOENH", ""},
        {0x21010000, "MIXERCONTROL_CONTROLTYPE_BUTTON", ""},
        {0x30040000, "MIXERCONTROL_CONTROLTYPE_DECIBELS", ""},
        {0x30020000, "MIXERCONTROL_CONTROLTYPE_SIGNED", ""},
        {0x30030000, "MIXERCONTROL_CONTROLTYPE_UNSIGNED", ""},
        {0x30050000, "MIXERCONTROL_CONTROLTYPE_PERCENT", ""},
        {0x40020000, "MIXERCONTROL_CONTROLTYPE_SLIDER", ""},
        {0x40020001, "MIXERCONTROL_CONTROLTYPE_PAN", ""},
        {0x40020002, "MIXERCONTROL_CONTROLTYPE_QSOUNDPAN", ""},
        {0x50030000, "MIXERCONTROL_CONTROLTYPE_FADER", ""},
        {0x50030001, "MIXERCONTROL_CONTROLTYPE_VOLUME", ""},
        {0x50030002, "MIXERCONTROL_CONTROLTYPE_BASS", ""},
        {0x50030003, "MIXERCONTROL_CONTROLTYPE_TREBLE", ""},
        {0x50030004, "MIXERCONTROL_CONTROLTYPE_EQUALIZER", ""},
        {0x70010000, "MIXERCONTROL_CONTROLTYPE_SINGLESELECT", ""},
        {0x70010001, "MIXERCONTROL_CONTROLTYPE_MUX", ""},
        {0x71010000, "MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT", ""},
        {0x71010001, "MIXERCONTROL_CONTROLTYPE_MIXER", ""},
        {0x60030000, "MIXERCONTROL_CONTROLTYPE_MICROTIME", ""},
        {0x61030000, "MIXERCONTROL_CONTROLTYPE_MILLITIME", ""},
        {0x00000000, "MIXERCONTROL_CT_CLASS_CUSTOM", ""},
        {0x10000000, "MIXERCONTROL_CT_CLASS_METER", ""},
        {0x20000000, "MIXERCONTROL_CT_CLASS_SWITCH", ""},
        {0x30000000, "MIXERCONTROL_CT_CLASS_NUMBER", ""},
        {0x40000000, "MIXERCONTROL_CT_CLASS_SLIDER", ""},
        {0x50000000, "MIXERCONTROL_CT_CLASS_FADER", ""},
        {0x60000000, "MIXERCONTROL_CT_CLASS_TIME", ""},
        {0x70000000, "MIXERCONTROL_CT_CLASS_LIST", ""},
    };
    return lookup(t, value, false);
}

std::string ControlFlagsText(std::uint32_t value)
{
    static const std::vector<Named> t = {
        {0x80000000u, "MIXERCONTROL_CONTROLF_DISABLED:", "The control is disabled,\r\nperhaps due to other settings for the mixer hardware,\r\nand cannot be used."},
        {1, "MIXERCONTROL_CONTROLF_UNIFORM:", "The control acts on all channels of a multichannel line\r\nin a uniform fashion."},
        {2, "MIXERCONTROL_CONTROLF_MULTIPLE:", "The control has two or more settings per channel."},
    };
    return lookup(t, value, true);
}

std::string mixerResultSuffix(std::uint32_t result)
{
    switch (result) {
    case 2:
        return " : MMSYSERR_BADDEVICEID The hmxobj parameter specifies an invalid device identifier.";
    case 5:
        return " : MMSYSERR_INVALHANDLE The hmxobj parameter specifies an invalid handle.";
    case 6:
        return " : MMSYSERR_NODRIVER No mixer device is available for the object specified by hmxobj.";
    case 10:
        return " : MMSYSERR_INVALFLAG One or more flags are invalid.";
    case 11:
        return " : MMSYSERR_INVALPARAM One or more parameters are invalid.";
    case 1024:
        return " : MIXERR_INVALLINE, The audio line reference is invalid.";
    case 1025:
        return " : MIXERR_INVALCONTROL The control reference is invalid.";
    default:
        return "";
    }
}

} // namespace shell
