#pragma once

#include "options/option_page.h"

namespace quorlix {

// The "Logo setup" page.
class LogoPage : public OptionPage {
    Q_OBJECT

public:
    LogoPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;

private:
    PageContext& context_;
};

}  // namespace quorlix
