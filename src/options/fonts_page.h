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
    void showFontList();

private:
    void BuildExplanation();
    void BuildFontList();

    PageContext& context_;
    QCheckBox* embedFontsCheckBox_;
    QFrame* explanationPanel_;
    QPlainTextEdit* explanationText_;
    QFrame* fontListPanel_;
    QLabel* availableFontsLabel_;
    QListWidget* fontList_;
    QLabel* postscriptNoteLabel_;
    QLabel* checkFontsLabel_;
    QPushButton* fontsCloseButton_;
};

}  // namespace quorlix
