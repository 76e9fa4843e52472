// A plugin that someone who may write the program folder could plant there: it claims
// to be Qt's print support and, the moment it is loaded, leaves an empty file at
// $PLANTED_PLUGIN_MARK. The end-to-end tests plant it and look for the mark.
#include <QObject>
#include <QtPlugin>
#include <cstdio>
#include <cstdlib>

namespace quilvern {
namespace {

struct Mark {
    Mark() {
        if (const char* path = std::getenv("PLANTED_PLUGIN_MARK")) {
            if (std::FILE* file = std::fopen(path, "w"))
                std::fclose(file);
        }
    }
} mark;

}  // namespace

class PlantedPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.QPlatformPrinterSupportFactoryInterface.5.1" FILE
                          "planted_plugin.json")
};

}  // namespace quilvern

#include "planted_plugin.moc"
