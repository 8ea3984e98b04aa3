#include "options/general_page.h"

namespace quorlix {

GeneralPage::GeneralPage(PageContext& context, QWidget* parent)
    : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("GeneralPage"));
}

void GeneralPage::FillOptions(OptionSet&) const {}

}  // namespace quorlix
