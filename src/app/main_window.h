#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "conversion/convert_documents.h"
#include "conversion/document_list.h"
#include "options/option_page.h"
#include "platform/installed_fonts.h"
#include "platform/run_folder.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace quorlix {

class Dialogs;
class GeneralPage;
class LogoPage;
class WatermarkPage;
class FontsPage;
class ProgressWindow;
class LogsWindow;
class OutputSigner;
class OutputSigning;

// The main window: the document list and output folder on the Conversion page, the option pages,
// the menu, and the Convert command over the list.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and runs its start-up work; throws with the system's text when a folder
    // or the default icon file cannot be made. The progress and logs windows are the program's.
    MainWindow(Dialogs& dialogs, ProgressWindow& progress, LogsWindow& logs,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    const DocumentList& documents() const { return documents_; }
    const std::string& defaultIconFolder() const { return defaultIconFolder_->path(); }
    const std::string& iconPreviewFolder() const { return iconPreviewFolder_->path(); }
    bool Busy() const;

    // Closes the window as the Close button does, once a running conversion has stopped.
    void RequestClose();

public slots:
    void addFiles();
    void addFolder();
    void removeSelected();
    void removeAll();
    void documentSelectionChanged();
    void documentDoubleClicked();
    void chooseOutputFolder();
    // Files and folders dropped on the document list, added as "Add files" and "Add Folder" add
    // them.
    void addDroppedDocuments(const QStringList& paths);
    // A folder dropped on the output folder box, taken as if chosen in the folder dialog.
    void setDroppedOutputFolder(const QStringList& paths);
    void openOutputFolder();
    // File > Code signing...
    void editCodeSigning();
    // The Close button and File > Close.
    void closeMainWindow();
    void convert();
    void openHelp();
    void openWebSite();
    void emailSupport();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class WindowConvertFrontEnd;

    void BuildMenu();
    void BuildConversionPage(QWidget* page);
    void BuildPages();
    void StartUp();
    void ShutDown();

    void UpdateListButtons();
    void AppendListRows(std::size_t from);
    void SelectAndShow(int row);
    // After documents were added: the last item selected and shown when selectLast, else the
    // selected item shown.
    void ShowAddedDocuments(std::size_t before, bool selectLast);
    void SetOutputFolder(QString folder);
    void AcceptDrops();
    int SelectedRow() const;

    // The option set for a document, filled from every page.
    OptionSet CollectOptions() const;
    bool OutputFolderChosen() const;
    std::string OutputFolderText() const;
    void RunConvert(const OutputSigner* signer);
    // A run that an error ended: the error, then the failures met before it, if any.
    void EndStoppedRun(const QString& error, const std::vector<ConvertFailure>& failures);
    // The logs window with these failures, modally.
    void ShowFailures(const std::vector<ConvertFailure>& failures);
    void ShowBusyNotice(bool shown);

    Dialogs& dialogs_;
    ProgressWindow& progress_;
    LogsWindow& logs_;

    DocumentList documents_;
    std::unique_ptr<RunFolder> defaultIconFolder_;
    std::unique_ptr<RunFolder> iconPreviewFolder_;
    std::string defaultIconFile_;
    std::vector<FontListEntry> fonts_;
    std::unique_ptr<PageContext> pageContext_;
    std::unique_ptr<OutputSigning> outputSigning_;
    bool closeWhenIdle_ = false;

    QTabWidget* pages_;
    QLabel* documentListLabel_;
    QTableWidget* documentListView_;
    QPushButton* addFilesButton_;
    QPushButton* addFolderButton_;
    QPushButton* removeButton_;
    QPushButton* removeAllButton_;
    QLabel* outputFolderLabel_;
    QLineEdit* outputFolderEdit_;
    QToolButton* outputFolderButton_;
    QCheckBox* autorunCheckBox_;
    QLabel* busyNotice_;
    QPushButton* convertButton_;
    QPushButton* openOutputFolderButton_;
    QPushButton* closeButton_;
    GeneralPage* generalPage_;
    LogoPage* logoPage_;
    WatermarkPage* watermarkPage_;
    FontsPage* fontsPage_;
};

}  // namespace quorlix
