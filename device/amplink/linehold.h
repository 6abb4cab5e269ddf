#pragma once
// Holding the amplifier line for an exchange of several lines. Waits on the line let
// window events run, so a click could start a second exchange inside the first and
// mix their lines; an exchange that holds the line makes any other one that asks
// meanwhile find it busy and leave the line alone.

namespace device {

class LineHold {
public:
    // Takes the line when nobody holds it.
    LineHold();
    ~LineHold();
    LineHold(const LineHold&) = delete;
    LineHold& operator=(const LineHold&) = delete;
    // True when this hold got the line.
    explicit operator bool() const { return owns_; }

private:
    bool owns_;
};

// True while an exchange holds the line.
bool lineHeld();

} // namespace device
