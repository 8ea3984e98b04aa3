#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "conversion/document_list.h"
#include "options/option_page.h"
#include "platform/installed_fonts.h"
#include "platform/run_folder.h"

class QAction;
class QCheckBox;
class QFrame;
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

// MainWindow, the main window: the document list and output folder on the Conversion page, the
// option pages, the menu, and the Convert command over the list.
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
    // The folder of the staged copy, once a run made it; empty before.
    std::string stagingFolder() const;
    bool Busy() const;

    // Closes the window as the Close button does, once a running conversion has stopped.
    void RequestClose();

public slots:
    void bitb1Click();
    void bitb2Click();
    void bitb3Click();
    void bitb4Click();
    void ListView1Change();
    void ListView1DblClick();
    void SpeedButton2Click();
    void Button6Click();
    void Button2Click();
    void Close1Click();
    void ConvertClick();
    void no2Click();
    void no5Click();
    void Emailsupport1Click();
    void About1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class WindowConvertFrontEnd;

    void BuildMenu();
    void BuildConversionPage(QWidget* page);
    void BuildPages();
    void StartUp();
    void FormDestroy();

    void UpdateListButtons();
    void AppendListRows(std::size_t from);
    void SelectAndShow(int row);
    int SelectedRow() const;

    // The option set for a document, filled from every page.
    OptionSet CollectOptions() const;
    bool OutputFolderChosen() const;
    std::string OutputFolderText() const;
    void RunConvert();
    void ShowBusyNotice(bool shown);

    Dialogs& dialogs_;
    ProgressWindow& progress_;
    LogsWindow& logs_;

    DocumentList documents_;
    std::unique_ptr<RunFolder> defaultIconFolder_;
    std::unique_ptr<RunFolder> iconPreviewFolder_;
    std::unique_ptr<RunFolder> stagingFolder_;
    std::string defaultIconFile_;
    std::vector<FontListEntry> fonts_;
    std::unique_ptr<PageContext> pageContext_;
    bool closeWhenIdle_ = false;

    QTabWidget* PageControl1;
    QLabel* Label1;
    QTableWidget* ListView1;
    QPushButton* bitb1;
    QPushButton* bitb2;
    QPushButton* bitb3;
    QPushButton* bitb4;
    QLabel* Label2;
    QLineEdit* Edit2;
    QToolButton* SpeedButton2;
    QCheckBox* CheckBox1;
    QLabel* Panel13;
    QPushButton* Button1;
    QPushButton* Button6;
    QPushButton* Button2;
    QFrame* Panel1;
    GeneralPage* generalPage_;
    LogoPage* logoPage_;
    WatermarkPage* watermarkPage_;
    FontsPage* fontsPage_;
};

}  // namespace quorlix
