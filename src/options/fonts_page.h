#pragma once

#include "options/option_page.h"

namespace quorlix {

// The "Embed fonts" page.
class FontsPage : public OptionPage {
    Q_OBJECT

public:
    FontsPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;

private:
    PageContext& context_;
};

}  // namespace quorlix
