#include "runtime/control.h"

namespace tervalux::rt {

std::wstring_view EventName(EventId id) {
    switch (id) {
        case EventId::Load: return L"Load";
        case EventId::QueryUnload: return L"QueryUnload";
        case EventId::Click: return L"Click";
        case EventId::DblClick: return L"DblClick";
        case EventId::Change: return L"Change";
        case EventId::LostFocus: return L"LostFocus";
        case EventId::KeyPress: return L"KeyPress";
    }
    return L"";
}

}  // namespace tervalux::rt
