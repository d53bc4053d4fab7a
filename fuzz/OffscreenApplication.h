#pragma once

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace vorlix::fuzz {

// The Gui application that fonts and text layout need, made once per fuzzing process on the
// offscreen platform and kept to its end.
inline QGuiApplication& offscreenApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    static const std::unique_ptr<QGuiApplication> application = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
    return *application;
}

}
