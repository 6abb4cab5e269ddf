#pragma once
// Job 4 of the amplifier window: selecting an amplifier or a channel in the tree. The
// selection decides the 1-Wire access mode of the amplifier, the type's captions and
// file names, and which write controls are shown.

namespace amplifier {

class PeloxModel;
class PeloxTree;

class ChannelSelection {
public:
    explicit ChannelSelection(PeloxModel& model) : m_(model) {}
    ChannelSelection(const ChannelSelection&) = delete;
    ChannelSelection& operator=(const ChannelSelection&) = delete;

    // Selects the amplifier or channel of the model's ClickedNode.
    void click_At_PeloxTreeView();
    // Selects channel n of amplifier 1 as a click on it would, without the TEDS read.
    // False when refused: no such channel (1 <= n <= its channel count), or firmware
    // that cannot reach the transducer (after its message).
    bool Select_Channel(int n);

    // Tree index of channel ch of amplifier a, 0 when it has no node.
    static int channelNodeIndex(const PeloxTree& tree, int a, int ch);

private:
    // The 16-channel settings, captions and file names of amplifier n's type.
    void applyTypeSettings(int n);
    void selectAmplifierRoot(int a);
    void selectChannel(int a, int ch, int idenTimeoutMs);
    // False when the firmware is refused.
    bool channelCommon(bool postTedsRead);

    PeloxModel& m_;
};

} // namespace amplifier
