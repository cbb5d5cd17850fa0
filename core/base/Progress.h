#pragma once
// The main window's progress bar as the forms see it: positions 0..100; values outside are
// held at the nearest end; the bar repaints at once, since work does not return to the
// event loop until it ends. Only a change of position is shown: long work sets the same
// position once per row, and a repaint per row would cost more than the work itself.

namespace qm {

class Progress {
public:
    virtual ~Progress() = default;
    void SetPosition(int value) {
        const int v = value < 0 ? 0 : value > 100 ? 100 : value;
        if (v != Position()) Show(v);
    }
    virtual int Position() const = 0;

protected:
    virtual void Show(int clamped) = 0;
};

// A bar that only remembers, for tests and headless runs.
class MemoryProgress : public Progress {
public:
    int Position() const override { return pos_; }
    int highest = 0;

protected:
    void Show(int v) override {
        pos_ = v;
        if (v > highest) highest = v;
    }

private:
    int pos_ = 0;
};

}  // namespace qm
