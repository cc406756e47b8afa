#pragma once
// The form: the window's model. It owns the controls built from the window description, binds the
// handlers by name (control, underscore, event), raises its own Load and QueryUnload, and is the
// sink of every control's events. An error that no handler traps ends at the outermost dispatch:
// a message box with its number and description, then the program ends.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime_error.h"
#include "platform/services.h"
#include "runtime/control.h"

namespace tervalux::rt {

// Error number of a handler table that does not fit the form ("the object does not support this
// set of events"); the description names the handler.
inline constexpr std::int32_t kBindingError = 459;

// How an unload was started, as QueryUnload receives it.
enum class UnloadMode : std::int16_t {
    ControlMenu = 0,  // close box, system menu, Alt+F4
    Code = 1,         // the program unloaded the form
    SessionEnd = 2,   // the user logs off or the system shuts down
    TaskManager = 3,
};

struct Binding {
    std::wstring_view handler;  // "cmdReg_Click"
    std::function<void(EventArgs&)> run;
};

// Window settings of the description that the view needs.
struct FormSettings {
    std::wstring caption;
    TwipsRect client;                  // client offset and size
    std::uint8_t startUpPosition = 0;  // 2 = centred on the screen
    std::vector<std::uint8_t> icon;    // icon file bytes; empty when none
};

// What the form needs from whoever shows it.
class FormHost {
   public:
    virtual ~FormHost() = default;
    // The form was unloaded: its window goes, and with its last form the program ends once no
    // handler runs any more.
    virtual void Unloaded() = 0;
    // An untrapped error was reported: the program ends now. Only a test host returns.
    virtual void EndProgram() = 0;
};

class Form : public Control, public EventSink {
   public:
    Form(std::wstring name, FormSettings settings, std::vector<std::unique_ptr<Control>> controls, Services& services,
         FormHost& host);

    const FormSettings& Settings() const { return settings_; }
    std::span<const std::unique_ptr<Control>> Controls() const { return controls_; }

    // The control of that name (compared without regard to case, as handler names are); null when none.
    Control* Find(std::wstring_view name) const;

    // The control of that name and type; a missing one, or one of another type, is a load error.
    template <class T>
    T& Get(std::wstring_view name) const {
        // cppcheck-suppress constVariable ; the control is handed out for change, so not const
        if (T* found = dynamic_cast<T*>(Find(name))) return *found;
        throw RuntimeError(kBindingError, MissingControlText(name));
    }

    // Checks the whole table before binding any of it: a handler whose name has no underscore,
    // names no control of this form ("Form" is the form itself), names an event that control does
    // not raise, or comes twice throws a RuntimeError naming it.
    void Bind(std::span<const Binding> table);

    std::span<const EventId> Events() const override;

    // Marks the form loaded and raises Load.
    void Load();
    bool Loaded() const { return loaded_; }

    // Raises QueryUnload; unless a handler set Cancel, marks the form unloaded and tells the host.
    // Returns whether the form is unloaded afterwards.
    bool Unload(UnloadMode mode);

    // Whether the program has ended after an untrapped error (seen only under a test host).
    bool Ended() const { return ended_; }

    // Runs a user's action (a click, a key, a selection) as the outermost dispatch: an error that
    // escapes it gets the default handling.
    void Dispatch(const std::function<void()>& action);

    // For use inside a catch block at the outermost level: reports the current error and ends.
    void ReportUntrapped();

    // EventSink: runs the bound handler, if any. Nested inside a running handler an error goes on
    // to the writer as any error of a plain call does.
    void Raise(Control& source, EventId event, EventArgs& args) override;

   private:
    static std::wstring MissingControlText(std::wstring_view name);
    Control* Target(std::wstring_view controlName);

    FormSettings settings_;
    std::vector<std::unique_ptr<Control>> controls_;
    Services& services_;
    FormHost& host_;
    std::map<std::pair<const Control*, EventId>, std::function<void(EventArgs&)>> handlers_;
    int depth_ = 0;
    bool loaded_ = false;
    bool unloading_ = false;
    bool ended_ = false;
};

// The text the default handling shows for an error.
std::wstring UntrappedErrorText(const RuntimeError& error);

}  // namespace tervalux::rt
