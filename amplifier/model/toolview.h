#pragma once
// What an amplifier window's model (the amplifier window and its tool windows) asks of
// its window: whether it is shown, to park the focus on its hidden button, and to show
// the model's new state. ToolViewLink is the model's side: a model made without a
// window talks to a silent view.

namespace amplifier {

class ToolView {
public:
    virtual ~ToolView() = default;
    virtual bool windowVisible() = 0;
    virtual void parkFocus() = 0;
    virtual void modelChanged() = 0;
};

// The view of a model made without a window: hidden, shows nothing.
class SilentToolView final : public ToolView {
public:
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override {}
};

// View: ToolView or an interface that extends it; Silent: its view without a window.
template <class View, class Silent>
class ToolViewLink {
public:
    explicit ToolViewLink(View* view) : view_(view ? view : &silent_) {}
    ToolViewLink(const ToolViewLink&) = delete;
    ToolViewLink& operator=(const ToolViewLink&) = delete;

    View* operator->() const { return view_; }
    void changed() const { view_->modelChanged(); }
    // Parks the focus on the hidden button while the window is shown.
    void focusAway() const
    {
        if (view_->windowVisible())
            view_->parkFocus();
    }

private:
    View* view_;
    Silent silent_;
};

} // namespace amplifier
