#pragma once

#include "options/option_page.h"

class QCheckBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quorlix {

// The "Embed fonts" page: the installed fonts, each with a check mark, that travel with the
// document when "Add embedded fonts" is checked.
class FontsPage : public OptionPage {
    Q_OBJECT

public:
    FontsPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;

public slots:
    void CheckBox24Click();

private:
    void BuildExplanation();
    void BuildFontList();

    PageContext& context_;
    QCheckBox* CheckBox24;
    QFrame* Panel16;
    QPlainTextEdit* Memo8;
    QFrame* Panel15;
    QLabel* FontsLabel1;
    QListWidget* CheckListBox1;
    QLabel* FontsLabel2;
    QLabel* FontsLabel3;
    QPushButton* Button15;
};

}  // namespace quorlix
