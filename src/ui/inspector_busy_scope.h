#pragma once
// Tells the inspector's window that a long step is under way until the step ends, however it ends.

#include "ui/relations_inspector_logic.h"

namespace vesk {

class InspectorBusyScope {
public:
    explicit InspectorBusyScope(InspectorDialogs& dialogs) : dialogs_(dialogs) {
        dialogs_.busy(true);
    }
    ~InspectorBusyScope() { dialogs_.busy(false); }
    InspectorBusyScope(const InspectorBusyScope&) = delete;
    InspectorBusyScope& operator=(const InspectorBusyScope&) = delete;

private:
    InspectorDialogs& dialogs_;
};

}  // namespace vesk
