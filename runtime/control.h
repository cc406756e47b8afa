#pragma once
// The runtime's controls are portable models: they hold the state, raise their events at once
// (nested inside whoever wrote a property), and tell an attached view to repaint. The Win32 views
// in runtime/win32/ only mirror a model and feed the user's actions back into it.
#include <cstdint>
#include <span>
#include <string>

#include "runtime/control_kinds.h"

namespace tervalux::rt {

enum class EventId { Load, QueryUnload, Click, DblClick, Change, LostFocus, KeyPress };

// Text name of an event as handler names spell it ("Click", "LostFocus"...).
std::wstring_view EventName(EventId id);

// Arguments passed by reference, as the bound handlers receive them; unused ones stay null.
struct EventArgs {
    std::int16_t* keyAscii = nullptr;
    std::int16_t* cancel = nullptr;
    std::int16_t* unloadMode = nullptr;
};

struct TwipsRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const TwipsRect&) const = default;
};

class Control;

// Where a control's events go: the form, which looks up the bound handler.
class EventSink {
   public:
    virtual ~EventSink() = default;
    virtual void Raise(Control& source, EventId event, EventArgs& args) = 0;
};

// A view re-reads its model when told; it never changes the model on its own.
class ControlView {
   public:
    virtual ~ControlView() = default;
    virtual void Refresh() = 0;
};

class Control {
   public:
    Control(std::wstring name, Kind kind, TwipsRect rect, std::int16_t tabIndex)
        : name_(std::move(name)), kind_(kind), rect_(rect), tabIndex_(tabIndex) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::wstring& Name() const { return name_; }
    Kind GetKind() const { return kind_; }
    const TwipsRect& Rect() const { return rect_; }
    std::int16_t TabIndex() const { return tabIndex_; }

    // The events this kind of control raises; a handler for any other is a load error.
    virtual std::span<const EventId> Events() const = 0;

    void AttachSink(EventSink* sink) { sink_ = sink; }
    void AttachView(ControlView* view) { view_ = view; }

    // The user moved the focus from this control to another control of the same form.
    void UserLostFocus() { Raise(EventId::LostFocus); }

   protected:
    void Raise(EventId event) {
        EventArgs args;
        Raise(event, args);
    }
    void Raise(EventId event, EventArgs& args) {
        if (sink_) sink_->Raise(*this, event, args);
    }
    void Repaint() {
        if (view_) view_->Refresh();
    }

   private:
    std::wstring name_;
    Kind kind_;
    TwipsRect rect_;
    std::int16_t tabIndex_;
    EventSink* sink_ = nullptr;
    ControlView* view_ = nullptr;
};

}  // namespace tervalux::rt
