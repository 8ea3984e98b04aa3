#pragma once

#include "options/option_page.h"

namespace quorlix {

// The "General option" page.
class GeneralPage : public OptionPage {
    Q_OBJECT

public:
    GeneralPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;

private:
    PageContext& context_;
};

}  // namespace quorlix
