#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorlix {

class Dialogs;

// AboutBox, the about box: program, version, maker, copyright, support address and web site.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    AboutBox(Dialogs& dialogs, QWidget* parent = nullptr);

public slots:
    void FormCreate();
    void CommentsClick();
    void Label5Click();

private:
    Dialogs& dialogs_;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Comments;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* OKButton;
};

}  // namespace quorlix
