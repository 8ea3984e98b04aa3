#include "options/watermark_page.h"

namespace quorlix {

WatermarkPage::WatermarkPage(PageContext& context, QWidget* parent)
    : OptionPage(parent), context_(context) {
    setObjectName(QStringLiteral("WatermarkPage"));
}

void WatermarkPage::FillOptions(OptionSet&) const {}

bool WatermarkPage::ImageWatermarkFileMissing() const {
    return false;
}

void WatermarkPage::FocusImageFile() {}

}  // namespace quorlix
