#include "runtime/form.h"

#include <algorithm>
#include <set>

#include "platform/text.h"

namespace tervalux::rt {

namespace {

constexpr EventId kFormEvents[] = {EventId::Load, EventId::QueryUnload};

// The form is "Form" in handler names, whatever its own name.
constexpr std::wstring_view kFormPrefix = L"Form";

RuntimeError BindingError(std::wstring_view handler, std::wstring_view what) {
    return RuntimeError(kBindingError,
                        L"Procedimento de evento '" + std::wstring(handler) + L"': " + std::wstring(what));
}

}  // namespace

Form::Form(std::wstring name, FormSettings settings, std::vector<std::unique_ptr<Control>> controls, Services& services,
           FormHost& host)
    : Control(std::move(name), Kind::Form, settings.client, 0),
      settings_(std::move(settings)),
      controls_(std::move(controls)),
      services_(services),
      host_(host) {
    for (auto& control : controls_) control->AttachSink(this);
    AttachSink(this);
}

std::span<const EventId> Form::Events() const {
    return kFormEvents;
}

Control* Form::Find(std::wstring_view name) const {
    for (const auto& control : controls_) {
        if (EqualNoCase(control->Name(), name)) return control.get();
    }
    return nullptr;
}

std::wstring Form::MissingControlText(std::wstring_view name) {
    return L"O formul\u00e1rio n\u00e3o tem o controle '" + std::wstring(name) + L"' do tipo esperado";
}

Control* Form::Target(std::wstring_view controlName) {
    if (EqualNoCase(controlName, kFormPrefix)) return this;
    return Find(controlName);
}

void Form::Bind(std::span<const Binding> table) {
    std::vector<std::pair<std::pair<const Control*, EventId>, const Binding*>> checked;
    std::set<std::pair<const Control*, EventId>> seen;
    for (const Binding& binding : table) {
        const std::wstring_view handler = binding.handler;
        const auto underscore = handler.rfind(L'_');
        if (underscore == std::wstring_view::npos || underscore == 0 || underscore + 1 == handler.size()) {
            throw BindingError(handler, L"o nome n\u00e3o tem a forma controle_evento");
        }
        const std::wstring_view controlName = handler.substr(0, underscore);
        const std::wstring_view eventName = handler.substr(underscore + 1);
        Control* control = Target(controlName);
        if (control == nullptr) {
            throw BindingError(handler,
                               L"o formul\u00e1rio n\u00e3o tem o controle '" + std::wstring(controlName) + L"'");
        }
        const auto events = control->Events();
        const auto event = std::find_if(events.begin(), events.end(),
                                        [&](EventId id) { return EqualNoCase(EventName(id), eventName); });
        if (event == events.end()) {
            throw BindingError(handler, L"o controle '" + std::wstring(controlName) + L"' n\u00e3o tem o evento '" +
                                            std::wstring(eventName) + L"'");
        }
        if (!binding.run) throw BindingError(handler, L"n\u00e3o h\u00e1 c\u00f3digo para o procedimento");
        const auto key = std::make_pair(static_cast<const Control*>(control), *event);
        if (!seen.insert(key).second) throw BindingError(handler, L"o evento j\u00e1 tem um procedimento");
        checked.emplace_back(key, &binding);
    }
    for (const auto& [key, binding] : checked) handlers_[key] = binding->run;
}

void Form::Load() {
    loaded_ = true;
    Control::Raise(EventId::Load);
}

bool Form::Unload(UnloadMode mode) {
    if (!loaded_ || ended_) return !loaded_;
    if (unloading_) return false;  // an unload from inside QueryUnload waits for the first one
    unloading_ = true;
    std::int16_t cancel = 0;
    auto unloadMode = static_cast<std::int16_t>(mode);
    EventArgs args;
    args.cancel = &cancel;
    args.unloadMode = &unloadMode;
    Control::Raise(EventId::QueryUnload, args);
    unloading_ = false;
    if (cancel != 0 || ended_) return false;
    loaded_ = false;
    host_.Unloaded();
    return true;
}

void Form::Dispatch(const std::function<void()>& action) {
    if (ended_) return;
    if (depth_ > 0) {
        action();
        return;
    }
    ++depth_;
    try {
        action();
    } catch (...) {
        ReportUntrapped();
    }
    --depth_;
}

void Form::ReportUntrapped() {
    const RuntimeError error = CurrentError();
    ended_ = true;
    try {
        services_.ShowMessage(UntrappedErrorText(error));
    } catch (...) {
        // The program ends either way; a box that cannot be shown changes nothing.
    }
    host_.EndProgram();
}

void Form::Raise(Control& source, EventId event, EventArgs& args) {
    const auto found = handlers_.find({&source, event});
    if (found == handlers_.end()) return;
    const auto handler = found->second;
    Dispatch([&] { handler(args); });
}

std::wstring UntrappedErrorText(const RuntimeError& error) {
    return L"Erro em tempo de execu\u00e7\u00e3o '" + std::to_wstring(error.Number()) + L"':\r\n\r\n" +
           error.Description();
}

}  // namespace tervalux::rt
