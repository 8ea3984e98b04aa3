#pragma once

#include <string>

#include "common/presentation_options.h"

namespace quorlix {

// Shows a logo picture as the converter's preview shows it: borderless, topmost, centred, sized to
// the picture, with its fades, auto close or close on a click; returns when it has closed.
// `label` names it in the step log ("logo 1"). A picture that does not decode is skipped.
void ShowLogo(const LogoOptions& logo, const std::wstring& picturePath, const std::wstring& label);

}  // namespace quorlix
