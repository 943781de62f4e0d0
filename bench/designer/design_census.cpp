// Writes the design window's widget census as a C++ header (standard
// output), for the bare window of the start-up comparison.
#include "design_window.h"
#include "widget_census.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    DesignWindow window;
    window.show();
    QApplication::processEvents();
    WidgetCensus census = TakeCensus(&window);
    std::printf("// Written by design_census at build time: the design window's widgets.\n"
                "#pragma once\n#include \"widget_census.h\"\n"
                "inline constexpr WidgetCensus kDesignWindowCensus{");
    ForEachKind(census, [](int& count, auto*, const char*) { std::printf("%d, ", count); });
    std::printf("%d, %d};\n", census.total, census.hidden);
    return 0;
}
