#include "window/MenuTable.h"

#include <stdexcept>

namespace vorlix::window {

const std::array<MenuEntry, 44> kMenuEntries { {
    { MenuId::File, MenuId::None, u"ファイル(&F)", "mnuFile", -1 },
    { MenuId::NewFile, MenuId::File, u"新規作成(&N)", "mnuNew", -1 },
    { MenuId::NewFace, MenuId::NewFile, u"fae(&f)", "mnuNewFile", 0 },
    { MenuId::NewData, MenuId::NewFile, u"mnd xml(&m)", "mnuNewFile", 1 },
    { MenuId::Open, MenuId::File, u"開く(&O)...", "mnuOpen", -1 },
    { MenuId::ReLoad, MenuId::File, u"再読み込み(&R)", "mnuReLoad", -1 },
    { MenuId::Over, MenuId::File, u"上書き保存(&S)", "mnuOver", -1 },
    { MenuId::Save, MenuId::File, u"名前を付けて保存(&A)...", "mnuSave", -1 },
    { MenuId::Printer, MenuId::File, u"印刷(&P)...", "mnuPrinter", -1 },
    { MenuId::Export, MenuId::File, u"PDF に出力(&X)...", "mnuExport", -1 },
    { MenuId::PrnDet, MenuId::File, u"用紙の設定(&U)...", "mnuPrnDet", -1 },
    { MenuId::End, MenuId::File, u"終了(&E)", "mnuEnd", -1 },
    { MenuId::Edit, MenuId::None, u"編集(&E)", "mnuEdit", -1 },
    { MenuId::Undo, MenuId::Edit, u"元に戻す(&U)", "mnuUndo", -1 },
    { MenuId::Redo, MenuId::Edit, u"やり直し(&R)", "mnuRedo", -1 },
    { MenuId::Cut, MenuId::Edit, u"切り取り(&T)", "mnuCut", -1 },
    { MenuId::CopyText, MenuId::Edit, u"コピー(&C)", "mnuCopyText", -1 },
    { MenuId::Paste, MenuId::Edit, u"貼り付け(&P)", "mnuPaste", -1 },
    { MenuId::SelectAll, MenuId::Edit, u"すべて選択(&A)", "mnuSelectAll", -1 },
    { MenuId::Find, MenuId::Edit, u"検索(&F)...", "mnuFind", -1 },
    { MenuId::View, MenuId::None, u"描画実行(&G)", "mnuView", -1 },
    { MenuId::Disp, MenuId::None, u"ビュー(&V)", "mnuDisp", -1 },
    { MenuId::Next, MenuId::Disp, u"次ページ(&N)   PageDown", "mnuNext", -1 },
    { MenuId::Previous, MenuId::Disp, u"前ページ(&P)   PageUp", "mnuPrevious", -1 },
    { MenuId::MousePointers, MenuId::Disp, u"ポインタ(&P)", "mnuMouse", -1 },
    { MenuId::Cross, MenuId::MousePointers, u"クロス(&X)", "mnuMousePointers", 0 },
    { MenuId::Hand, MenuId::MousePointers, u"ハンド(&H)", "mnuMousePointers", 1 },
    { MenuId::ZoomS, MenuId::Disp, u"拡大(&Z)", "mnuZoom", -1 },
    { MenuId::Zoom40, MenuId::ZoomS, u"40%", "mnuZoomS", 40 },
    { MenuId::Zoom60, MenuId::ZoomS, u"60%", "mnuZoomS", 60 },
    { MenuId::Zoom80, MenuId::ZoomS, u"80%", "mnuZoomS", 80 },
    { MenuId::Zoom100, MenuId::ZoomS, u"100%", "mnuZoomS", 100 },
    { MenuId::Zoom120, MenuId::ZoomS, u"120%", "mnuZoomS", 120 },
    { MenuId::Zoom140, MenuId::ZoomS, u"140%", "mnuZoomS", 140 },
    { MenuId::Zoom160, MenuId::ZoomS, u"160%", "mnuZoomS", 160 },
    { MenuId::Zoom200, MenuId::ZoomS, u"200%", "mnuZoomS", 200 },
    { MenuId::Copy, MenuId::Disp, u"イメージのコピー(&C)", "mnuCopy", -1 },
    { MenuId::Window, MenuId::None, u"ウィンドウ(&W)", "mnuWindow", -1 },
    { MenuId::EWind, MenuId::Window, u"編集ウィンドウ(&E)", "mnuEWind", -1 },
    { MenuId::DWind, MenuId::Window, u"両方(&D)", "mnuDWind", -1 },
    { MenuId::VWind, MenuId::Window, u"ビューウィンドウ(&V)", "mnuVWind", -1 },
    { MenuId::Help, MenuId::None, u"ヘルプ(&H)", "mnuHelp", -1 },
    { MenuId::Setup, MenuId::Help, u"設定(&S)...", "mnuSetup", -1 },
    { MenuId::Aboutbox, MenuId::Help, u"バージョン情報(&A)...", "mnuAboutbox", -1 },
} };

const std::array<MenuShortcut, 13> kMenuShortcuts { {
    { MenuId::NewFace, "Ctrl+N" },
    { MenuId::Open, "Ctrl+O" },
    { MenuId::Over, "Ctrl+S" },
    { MenuId::Save, "Ctrl+Shift+S" },
    { MenuId::Printer, "Ctrl+P" },
    { MenuId::End, "Ctrl+Q" },
    { MenuId::Undo, "Ctrl+Z" },
    { MenuId::Redo, "Ctrl+Y; Ctrl+Shift+Z" },
    { MenuId::Cut, "Ctrl+X" },
    { MenuId::CopyText, "Ctrl+C" },
    { MenuId::Paste, "Ctrl+V" },
    { MenuId::SelectAll, "Ctrl+A" },
    { MenuId::Find, "Ctrl+F" },
} };

const MenuEntry& menuEntry(MenuId id)
{
    for (const auto& entry : kMenuEntries) {
        if (entry.id == id)
            return entry;
    }
    throw std::out_of_range("no such menu entry");
}

}
