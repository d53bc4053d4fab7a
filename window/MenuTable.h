#pragma once

#include <array>
#include <cstdint>

namespace vorlix::window {

// Every command of the main window's menus. The captions, their order and their nesting are the
// table below: the window builds its menus from it and the tests read it.
enum class MenuId : std::uint8_t {
    File,
    NewFile,
    NewFace,
    NewData,
    Open,
    ReLoad,
    Over,
    Save,
    Printer,
    Export,
    PrnDet,
    End,
    Edit,
    Undo,
    Redo,
    Cut,
    CopyText,
    Paste,
    SelectAll,
    Find,
    View,
    Disp,
    Next,
    Previous,
    MousePointers,
    Cross,
    Hand,
    ZoomS,
    Zoom40,
    Zoom60,
    Zoom80,
    Zoom100,
    Zoom120,
    Zoom140,
    Zoom160,
    Zoom200,
    Copy,
    Window,
    EWind,
    DWind,
    VWind,
    Help,
    Setup,
    Aboutbox,
    None,
};

// One menu entry: its caption, the menu it sits in (None for the menu bar), the control's name
// and the index of a control array (the zoom percentage, the tool, the document type), -1 when
// it has none.
struct MenuEntry {
    MenuId id;
    MenuId parent;
    const char16_t* caption;
    const char* name;
    int index;
};

extern const std::array<MenuEntry, 44> kMenuEntries;

// The entry of an id.
[[nodiscard]] const MenuEntry& menuEntry(MenuId id);

// The usual keys of the commands that have one, as other programs have them too, in Qt's
// portable text ("Ctrl+S"; several keys apart by "; ").
struct MenuShortcut {
    MenuId id;
    const char* keys;
};

extern const std::array<MenuShortcut, 13> kMenuShortcuts;

}
