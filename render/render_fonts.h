#pragma once
// The font families every drawn text of the report and the chart is set in,
// named so that a layout does not depend on what else is installed (the
// Debian package depends on fonts-dejavu-core, which holds both).
inline constexpr const char* kSansFamily = "DejaVu Sans";
inline constexpr const char* kMonoFamily = "DejaVu Sans Mono";
