#pragma once
// What the window tests share: the programs' folder, a named control, and acting inside the
// modal wait of a window as soon as it shows.

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>

namespace vesk::testing {

inline const std::filesystem::path kPrograms = std::filesystem::path(VESK_CLI_PATH).parent_path();

template <typename T>
T* find(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    if (child == nullptr) qFatal("no control %s", name);
    return child;
}

// Runs `act` as soon as the window shows, from inside the modal wait that shows it.
inline void when_shown(QWidget& window, std::function<void()> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, &window, act] {
        if (!window.isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start(5);
}

}  // namespace vesk::testing
