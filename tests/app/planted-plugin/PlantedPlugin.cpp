// An image-format plugin as another user could plant it beside a program: it
// claims PNG and, when loaded, leaves planted-plugin-ran beside itself.

#include <QImageIOPlugin>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>

static __attribute__((constructor)) void markLoaded()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&markLoaded), &info) != 0 && info.dli_fname)
        std::ofstream(std::filesystem::path(info.dli_fname).parent_path() / "planted-plugin-ran")
            << "ran\n";
}

class PlantedPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "planted.json")

public:
    Capabilities capabilities(QIODevice *, const QByteArray &) const override { return {}; }
    QImageIOHandler *create(QIODevice *, const QByteArray &) const override { return nullptr; }
};

#include "PlantedPlugin.moc"
