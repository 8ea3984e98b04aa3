#pragma once

#include <QPixmap>

#include "conversion/option_set.h"

namespace quorlix {

// The application title, set before the main window is made.
inline constexpr char kApplicationTitle[] = "Dorvane Quorlix";
inline constexpr char kMakerName[] = "Dorvane Software";
inline constexpr char kCopyrightNotice[] = "Copyright (C) 2026 Dorvane Software";
inline constexpr char kSupportAddress[] = "support@dorvane.com";
inline constexpr char kSupportSubject[] = "Dorvane Quorlix support";
// The maker's web site: the default of the pages' web address fields.
inline constexpr const char* kMakerWebAddress = OptionSet::kMakerWebAddress;

// The program's own icon (the DORICON resource) at the size nearest to the one asked for.
QPixmap ProgramIconPixmap(int size);

}  // namespace quorlix
