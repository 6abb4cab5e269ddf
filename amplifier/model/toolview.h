#pragma once
// What an amplifier window's model (the amplifier window and its tool windows) asks of
// its window: whether it is shown, to park the focus on its hidden button, and to show
// the model's new state. ToolViewLink is the model's side: a model made without a
// window talks to a silent view.

namespace amplifier {

class ToolView {
public:
    virtual ~ToolView() = default;
    virtual bool windowVisible() { return false; }
    virtual void parkFocus() {}
    virtual void modelChanged() {}
};

// View: ToolView or an interface that extends it.
template <class View>
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
    View silent_;
};

} // namespace amplifier
