#pragma once
// The program's name for the desktop. No display name is set: the desktop would append it to
// every window's title, so that "Vesk V2.10" and the message boxes' "Vesk" read
// "... - Vesk: A tool for mining process models".

#include <QApplication>

#include "base/build_info.h"

inline void identify_application() {
    QApplication::setApplicationName("vesk");
    QApplication::setApplicationVersion(vesk::kVeskVersion);
    QGuiApplication::setDesktopFileName("vesk");
}
