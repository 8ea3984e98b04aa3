#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorlix {

class Dialogs;

// The about box: program, version, maker, copyright, support address and web site.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    AboutBox(Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    // A click on the support address or the web address.
    void openSupportMail();
    void openWebSite();

private:
    // The product label shows the application title.
    void ShowProductName();

    Dialogs& dialogs_;
    QLabel* programIcon_;
    QLabel* productName_;
    QLabel* versionLabel_;
    QLabel* makerLabel_;
    QLabel* copyrightLabel_;
    QLabel* emailLabel_;
    QLabel* supportAddressLink_;
    QLabel* webSiteLabel_;
    QLabel* webAddressLink_;
    QPushButton* okButton_;
};

}  // namespace quorlix
