#pragma once
// Job 3 of the amplifier window: the chain read. Wakes the chain, makes every amplifier
// drop its address, gives out the addresses 1, 2, ... and identifies each amplifier
// with its channels and sensitivities, filling amplifierState() and the model's tree.

namespace amplifier {

class PeloxModel;

class ChainConfigRead {
public:
    explicit ChainConfigRead(PeloxModel& model) : m_(model) {}
    ChainConfigRead(const ChainConfigRead&) = delete;
    ChainConfigRead& operator=(const ChainConfigRead&) = delete;

    // The whole read; ends by selecting the first amplifier when none is selected.
    void ReadPeloxConfig();
    // Wakes an amplifier that does not answer "s_b?": a burst of "@", then a pause.
    void AutoTurnOn();
    // Identifies amplifier n ("Iden?", "conf?") and reads its channels; false (after its
    // message or trace line) when it does not answer or its type is unknown.
    bool GetConfRec(int n, bool addToTree);

private:
    PeloxModel& m_;
};

} // namespace amplifier
