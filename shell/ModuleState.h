#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vorlix::shell {

class InitFile;

// Run modes of the program: the window, unattended printing, the viewer window, unattended merge
// and unattended export.
enum RunModes : std::int32_t {
    RunModeWindow = 0,
    RunModePrint = 1,
    RunModeView = 2,
    RunModeMerge = 3,
    RunModeExport = 4,
};

// The process-wide state of module "vorlix": set once by Main and the command-line parser,
// read by every other part.
struct ModuleState {
    std::int32_t RunMode = 0;
    QString InputFile;
    QString OutputFile;
    QString ArgSheetPath;
    QString ArgFaceFile;
    QString ArgTitle;
    QString ArgPrinter;
    QString ArgPaper;
    std::int32_t ArgOrient = 0;
    std::int32_t ArgCopies = 0;
    QString ArgPages;
    bool DebugFlag = true;
    // The log's file descriptor; 0 until Main has checked that standard output is usable.
    int StdOutHandle = 0;
    // The one settings object.
    std::shared_ptr<InitFile> SettingsFile;
    // The application title: the program's name until a document gives its own; message boxes
    // and print jobs carry it.
    QString ApplicationTitle;
    // The one source-document object; held without its type so that this bottom layer need not
    // know the document classes.
    std::shared_ptr<void> TheSource;
};

// The module state of this process.
ModuleState& moduleState();

// The application title, or the program's name while none is set.
[[nodiscard]] QString applicationTitle();

// Shows a message with button and icon flags as the platform numbers them (0 OK, 64 information,
// 35 Yes/No/Cancel question) and returns the answer (1 OK, 2 Cancel, 6 Yes, 7 No). The caption is
// the application title followed by captionSuffix (the file objects add "/GeneFile" or
// "/WebFile"). In every run mode other than 0 and 2 nobody is there: the answer is 1 at once.
int ShowMessage(const QString& prompt, int buttons, const QString& captionSuffix = {});

// What shows a message when somebody is there; installed by the window layer. Without one,
// ShowMessage answers 1.
using MessagePresenter
    = std::function<int(const QString& prompt, int buttons, const QString& caption)>;
void setMessagePresenter(MessagePresenter presenter);

// What the unattended modes do with a message nobody sees (the command line writes it to
// standard error). Called with every message ShowMessage answers by itself.
using UnattendedMessageSink = std::function<void(const QString& prompt)>;
void setUnattendedMessageSink(UnattendedMessageSink sink);

// Ends the program's objects: the source document first (it writes its last settings while it
// ends), then the settings object; then logs "Vorlix/Main>!!END!!".
void EndApp();

// Checks standard output and, when it is an open descriptor, makes it the log's handle.
void obtainStdOutHandle();

}
