#include "options/fonts_page.h"

namespace quorlix {

FontsPage::FontsPage(PageContext& context, QWidget* parent)
    : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("FontsPage"));
}

void FontsPage::FillOptions(OptionSet&) const {}

}  // namespace quorlix
