#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "conversion/option_set.h"
#include "platform/installed_fonts.h"

namespace quorlix {

class Dialogs;

// What the main window hands its option pages: the dialogs, its per-run folders and the fonts.
struct PageContext {
    Dialogs& dialogs;
    std::string defaultIconFile;    // the program's own icon file, myico.ico
    std::string iconPreviewFolder;  // one single-image icon file per image of the current icon
    const std::vector<FontListEntry>& fonts;
};

// One option page of the main window.
class OptionPage : public QWidget {
    Q_OBJECT

public:
    explicit OptionPage(QWidget* parent = nullptr) : QWidget(parent) {}

    // Copies this page's options into the option set for the document about to be converted.
    virtual void FillOptions(OptionSet& options) const = 0;
    // The page's "Load from default" action, run at start-up; pages without one do nothing.
    virtual void LoadFromDefaults() {}

signals:
    // The page's "Close" button: close the main window.
    void closeRequested();
};

}  // namespace quorlix
