#include "app/application.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    quilvern::Application application(argc, argv);
    quilvern::TForm1 form(quilvern::ProgramDirectory());
    form.show();
    return application.exec();
}
