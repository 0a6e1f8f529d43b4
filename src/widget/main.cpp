#include "widget/WidgetApp.h"

#include <iostream>

int main(int argc, char** argv) {
    return plannery::runWidget(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr);
}
