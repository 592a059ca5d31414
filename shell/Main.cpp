#include "shell/Application.h"

int main(int argc, char** argv) {
    vantreel::ChooseWindowingPlatform();
    vantreel::Application application(argc, argv);
    return application.Run();
}
