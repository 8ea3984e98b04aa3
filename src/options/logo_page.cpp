#include "options/logo_page.h"

namespace quorlix {

LogoPage::LogoPage(PageContext& context, QWidget* parent) : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("LogoPage"));
}

void LogoPage::FillOptions(OptionSet&) const {}

}  // namespace quorlix
