#pragma once

#include "options/option_page.h"

namespace quorlix {

// The "Watermark" page.
class WatermarkPage : public OptionPage {
    Q_OBJECT

public:
    WatermarkPage(PageContext& context, QWidget* parent = nullptr);

    void FillOptions(OptionSet& options) const override;

    // The Convert command's first check: "Image watermark" chosen and no file at its path.
    bool ImageWatermarkFileMissing() const;
    // Puts the keyboard focus into the image file's box.
    void FocusImageFile();

private:
    PageContext& context_;
};

}  // namespace quorlix
