#pragma once

#include <windows.h>

#include <string>

namespace quorlix {

// How a test answers a dialog: the button to press (IDYES, IDNO; IDOK or IDCANCEL for a file
// dialog) and, for IDOK in a file dialog, the path typed into its file name box.
struct ScriptedReply {
    int button = IDCANCEL;
    std::wstring fileName;
};

// Answers the next dialog that this thread shows as a reader would, for tests: a timer of the
// thread (a dialog runs its own message loop) finds it, logs what it shows, takes a snapshot of
// the screen named `snapshotName` and presses the button. Only while the object lives.
class DialogAnswer {
public:
    DialogAnswer(std::wstring snapshotName, ScriptedReply reply);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND dialog);

    std::wstring snapshotName_;
    ScriptedReply reply_;
    UINT_PTR timer_ = 0;
    int seen_ = 0;
};

}  // namespace quorlix
